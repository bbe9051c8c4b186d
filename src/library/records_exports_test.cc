// The library's records: each export's EEPROM writes on the journal of the machine's records file.
#include <gmock/gmock.h>

#include "library_host_test.h"
#include "records/local_store.h"

namespace fennick_test {
namespace {

using RecordsExportsTest = LibraryTest;

TEST_F(RecordsExportsTest, AnExportsWriteIsJournalledUnderItsNameWithTheImageItReplaced) {
  const auto seeded = SampleImage();
  SeedEeprom(seeded);
  Script("ok\n");
  Api& api = LoadOpen();
  api.SetInitialValue();
  ASSERT_TRUE(EepromWritten());

  tarvo::records::LocalStore store;
  ASSERT_TRUE(store.Open((dir_ / "records.sqlite").string())) << store.error();
  auto journal = store.Journal();
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_EQ(journal[0].record.operation, "SetInitialValue");
  EXPECT_EQ(journal[0].origin.edition, "library");
  EXPECT_EQ(journal[0].record.check, tarvo::WriteCheck::kVerified);
  EXPECT_EQ(journal[0].record.before, std::vector<uint8_t>(seeded.begin(), seeded.end()));
  EXPECT_EQ(journal[0].record.written, Eeprom());
}

}  // namespace
}  // namespace fennick_test
