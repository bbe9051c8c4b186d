#include "sim/notation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/hex.h"

namespace tarvo::sim {
namespace {

using ::testing::ElementsAre;

std::vector<uint8_t> Hex(std::string_view text) {
  return FromHex(text).value();
}

std::vector<uint8_t> Remote(char a, char b, uint8_t param) {
  return {0x1B, 0x28,       0x52,       0x08, 0x00, 0x00, 'R',   'E',  'M',  'O',  'T', 'E',
          '1',  uint8_t(a), uint8_t(b), 0x02, 0x00, 0x00, param, 0x1B, 0x00, 0x00, 0x00};
}

std::vector<uint8_t> BiD(std::array<uint8_t, 4> values) {
  std::vector<uint8_t> out;
  for (uint8_t i = 0; i < 4; ++i) {
    auto p = MakeCommand(kBiD, 0x41, i, values[i]);
    out.insert(out.end(), p.begin(), p.end());
  }
  return out;
}

TEST(SimNotation, CommandPacketsOfTheProtocolByteForByte) {
  struct Case {
    std::array<uint8_t, 8> packet;
    std::string_view hex;
    std::string_view notation;
  };
  const Case cases[] = {
      {MakeCommand(kFirmware), "1c46000000000046", "F"},
      {MakeCommand(kTemperature), "1c54000000000054", "T"},
      {MakeCommand(kJobMark, 1, 0), "1c4a01000000004b", "J(1,0)"},
      {MakeCommand(kJobMark, 0, 1), "1c4a00010000004b", "J(0,1)"},
      {MakeCommand(kPowerOff, 0), "1c70000000000070", "p(0)"},
      {MakeCommand(kMemory, 0, 0, 0x29, 0), "1c810000290000aa", "READ(0,41)"},
      {MakeCommand(kMemory, 1, 0, 0x29, 0), "1c810100290000ab", "WRITE(0,41)"},
      {MakeCommand(kMemory, 0, 0, 0x80, 0), "1c81000080000001", "READ(0,128)"},
      {MakeCommand(kMotor, 0x16, 0x02, 0, 0, 0x61), "1c4d1602000061c6", "M(0,1,6,2,6,1)"},
      {MakeCommand(kMotor, 0x37, 0xF0, 0x49, 0x02, 0x61), "1c4d37f049026120",
       "M(1,1,7,150000,6,1)"},
      {MakeCommand(kTof, 0xFE), "1c91fe000000008f", "TOF(-2)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToHex(c.packet), c.hex) << c.notation;
    EXPECT_EQ(Describe(Hex(c.hex)), c.notation) << c.hex;
  }
}

TEST(SimNotation, RemoteBiDAndBadPackets) {
  EXPECT_EQ(Describe(Remote('S', 'T', 0)), "REMOTE ST 0");
  EXPECT_EQ(Describe(Remote('C', 'H', 3)), "REMOTE CH 3");
  EXPECT_EQ(Describe(BiD({8, 8, 13, 8})), "D(8,8,13,8)");
  EXPECT_EQ(Describe(BiD({0xF9, 8, 8, 0})), "D(249,8,8,0)");

  EXPECT_EQ(Describe(Hex("1c46000000000047")), "BADSUM 1c46000000000047");
  auto bid = BiD({8, 8, 8, 8});
  bid[31] ^= 1;
  EXPECT_EQ(Describe(bid), "BADSUM " + ToHex(bid));
  // A well-formed packet of a code the printer does not know.
  EXPECT_EQ(Describe(MakeCommand(0x99, 1)), "CMD 1c9901000000009a");
}

TEST(SimNotation, PrintDataAndHeaderPage) {
  std::vector<uint8_t> header = {0x1B, 0x40, 0x1B, 0x55, 0x01, '[', 'N', 'o', '.', 0x0D, 0x0A};
  EXPECT_EQ(Describe(header), "TEXT(11)");
  EXPECT_EQ(Describe(std::vector<uint8_t>(4096, 0)), "PRINT(4096)");
  // A whole piece that happens to start like a header is still print data.
  std::vector<uint8_t> piece(4096, 0);
  std::copy(header.begin(), header.begin() + 5, piece.begin());
  EXPECT_EQ(Describe(piece), "PRINT(4096)");
  // Eight bytes that are no command packet.
  EXPECT_EQ(Describe(Hex("1b40000000000000")), "PRINT(8)");
}

TEST(SimNotation, DataAfterAMemoryWriteWhateverItLooksLike) {
  WireParser parser;
  auto write = MakeCommand(kMemory, 1, 0, 8, 0);
  auto looks_like_f = MakeCommand(kFirmware);
  EXPECT_EQ(Describe(parser.Next(write), write), "WRITE(0,8)");
  EXPECT_TRUE(parser.data_expected());
  Parsed data = parser.Next(looks_like_f);
  EXPECT_EQ(data.kind, TransferKind::kData);
  EXPECT_EQ(data.target.length, 8);
  EXPECT_EQ(Describe(data, looks_like_f), "DATA(8)");
  EXPECT_EQ(Describe(parser.Next(looks_like_f), looks_like_f), "F");
  // A write of no bytes has no data transfer.
  auto empty_write = MakeCommand(kMemory, 1, 0, 0, 0);
  parser.Next(empty_write);
  EXPECT_FALSE(parser.data_expected());
}

TEST(SimNotation, DescribeTrafficKeepsWritesAndWaitsInOrder) {
  std::vector<std::string> lines = {"O PIPE00 ok",
                                    "O PIPE01 ok",
                                    "W 1c810100290000ab",
                                    "W " + ToHex(std::vector<uint8_t>(41, 0x30)),
                                    "W! 1c46000000000046",
                                    "S 10000",
                                    "R 1c4600303037330000",
                                    "R!",
                                    "W zz",
                                    "W 1c4a00010000004b",
                                    "C"};
  EXPECT_THAT(DescribeTraffic(lines),
              ElementsAre("WRITE(0,41)", "DATA(41)", "wait 10000", "J(0,1)"));
}

}  // namespace
}  // namespace tarvo::sim
