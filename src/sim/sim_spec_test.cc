#include "sim/sim_spec.h"

#include <gtest/gtest.h>

namespace tarvo::sim {
namespace {

TEST(SimSpecParse, StateFileAndFaults) {
  std::string error;
  auto plain = ParseSimSpec("", &error);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->state_file, "");
  EXPECT_EQ(plain->faults.status_frames, 0);
  EXPECT_EQ(plain->vendor_id, 0x0A3C);
  EXPECT_EQ(plain->product_id, 0x7251);

  auto file = ParseSimSpec(":/tmp/p.json", &error);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->state_file, "/tmp/p.json");

  auto faults = ParseSimSpec(
      ":/tmp/p.json?status=3&status_kind=ER&silent=1&fail_write_after=4"
      "&eeprom_sticks=0&appear_after=2&status_stream=true",
      &error);
  ASSERT_TRUE(faults) << error;
  EXPECT_EQ(faults->state_file, "/tmp/p.json");
  EXPECT_EQ(faults->faults.status_frames, 3);
  EXPECT_EQ(faults->faults.status_kind, "ER");
  EXPECT_TRUE(faults->faults.silent);
  EXPECT_TRUE(faults->faults.status_stream);
  EXPECT_EQ(faults->faults.fail_write_after, 4);
  EXPECT_FALSE(faults->faults.eeprom_sticks);
  EXPECT_EQ(faults->faults.appear_after, 2);

  auto absent = ParseSimSpec("?absent=1", &error);
  ASSERT_TRUE(absent);
  EXPECT_EQ(absent->state_file, "");
  EXPECT_TRUE(absent->faults.absent);

  auto device4 = ParseSimSpec("?pid=8802&interface=0&vid=0x0a3c&status_kind=@", &error);
  ASSERT_TRUE(device4) << error;
  EXPECT_EQ(device4->product_id, 0x8802);
  EXPECT_EQ(device4->vendor_id, 0x0A3C);
  EXPECT_EQ(device4->composite_interface, 0);
  EXPECT_EQ(device4->faults.status_kind, "@");
}

TEST(SimSpecParse, ReadOnlyEepromRanges) {
  std::string error;
  auto upper = ParseSimSpec("?eeprom_readonly=0x40-0x7f", &error);
  ASSERT_TRUE(upper) << error;
  EXPECT_EQ(upper->faults.eeprom_readonly.count(), 64u);
  EXPECT_FALSE(upper->faults.eeprom_readonly[0x3f]);
  EXPECT_TRUE(upper->faults.eeprom_readonly[0x40]);
  EXPECT_TRUE(upper->faults.eeprom_readonly[0x7f]);

  auto several = ParseSimSpec("?eeprom_readonly=5,0-2,0X7F", &error);
  ASSERT_TRUE(several) << error;
  EXPECT_EQ(several->faults.eeprom_readonly.to_string().substr(120), "00100111");  // bits 7..0
  EXPECT_TRUE(several->faults.eeprom_readonly[127]);
  EXPECT_EQ(several->faults.eeprom_readonly.count(), 5u);
  EXPECT_TRUE(ParseSimSpec("", &error)->faults.eeprom_readonly.none());

  for (const char* text :
       {"?eeprom_readonly=", "?eeprom_readonly=0x40-0x80", "?eeprom_readonly=128",
        "?eeprom_readonly=0x7f-0x40", "?eeprom_readonly=1,", "?eeprom_readonly=-3",
        "?eeprom_readonly=0x-0x1", "?eeprom_readonly=1-2-3"}) {
    EXPECT_FALSE(ParseSimSpec(text, &error)) << text;
  }
}

TEST(SimSpecParse, FormattedSpecReadsBackTheSame) {
  for (const char* text :
       {"", ":/tmp/p.json", "?absent=1", ":/tmp/p.json?status=3&status_kind=ER&silent=yes",
        "?eeprom_readonly=0x40-0x7f,3,5-6&fail_write_after=0&eeprom_sticks=false",
        "?pid=8802&interface=0&vid=0x0a3c&appear_after=4&status_stream=1"}) {
    std::string error;
    auto spec = ParseSimSpec(text, &error);
    ASSERT_TRUE(spec) << text << ": " << error;
    const std::string formatted = FormatSimSpec(*spec);
    auto again = ParseSimSpec(formatted, &error);
    ASSERT_TRUE(again) << formatted << ": " << error;
    EXPECT_EQ(*again, *spec) << formatted;
    EXPECT_EQ(FormatSimSpec(*again), formatted);
  }
  EXPECT_EQ(FormatSimSpec(*ParseSimSpec("?eeprom_readonly=0x40-0x7f,3", nullptr)),
            "?eeprom_readonly=3,64-127");
}

TEST(SimSpecParse, BadKeysAndValuesAreRefused) {
  for (const char* text :
       {"/tmp/p.json", ":", "?bogus=1", "?status", "?status=-1", "?status=x", "?status_kind=St",
        "?silent=maybe", "?fail_write_after=-2", "?vid=12345", "?pid=zz", "?interface=100",
        "?absent=1&&silent=1", "?appear_after=1.5"}) {
    std::string error;
    EXPECT_FALSE(ParseSimSpec(text, &error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
  EXPECT_FALSE(ParseSimSpec("?bogus=1", nullptr));
}

}  // namespace
}  // namespace tarvo::sim
