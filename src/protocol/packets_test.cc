#include "protocol/packets.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/hex.h"

namespace tarvo {
namespace {

std::string Hex(std::span<const uint8_t> bytes) {
  return ToHex(bytes);
}

TEST(Packets, FixedCommandsCarryTheirChecksums) {
  EXPECT_EQ(Hex(FwVersionPacket()), "1c46000000000046");
  EXPECT_EQ(Hex(TemperaturePacket()), "1c54000000000054");
  EXPECT_EQ(Hex(JobMarkPacket(J(0, 0))), "1c4a00000000004a");
  EXPECT_EQ(Hex(JobMarkPacket(J(1, 0))), "1c4a01000000004b");
  EXPECT_EQ(Hex(PowerOffPacket(0)), "1c70000000000070");
  EXPECT_EQ(Hex(PowerOffPacket(1)), "1c70010000000071");
  EXPECT_EQ(Hex(MemoryPacket(kMemoryRead, 0, 41)), "1c810000290000aa");
  EXPECT_EQ(Hex(MemoryPacket(kMemoryWrite, 0, 41)), "1c810100290000ab");
  EXPECT_EQ(Hex(MemoryPacket(kMemoryRead, 0, 128)), "1c81000080000001");
}

TEST(Packets, ChecksumSkipsLeadByteAndWraps) {
  CommandPacket p = MakeCommand(0xFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(p[0], 0x1C);
  EXPECT_EQ(p[7], static_cast<uint8_t>(6 * 0xFF));
  EXPECT_EQ(Checksum(p), p[7]);
}

TEST(Packets, MotorPacketsPackTheirBitFields) {
  EXPECT_EQ(Hex(MotorPacket(M(0, 1, 6, 2, 6, 1))), "1c4d1602000061c6");
  // 150000 steps need all three step bytes.
  EXPECT_EQ(Hex(MotorPacket(M(1, 1, 7, 150000, 6, 1))), "1c4d37f049026120");
  // Lock, unlock, hold, release of the CR motor keep their action.
  EXPECT_EQ(MotorPacket(M(0, 0, 0, 0, 0, 4))[6], 0x04);
  EXPECT_EQ(MotorPacket(M(0, 0, 0, 0, 0, 6))[6], 0x06);
  EXPECT_EQ(MotorPacket(M(0, 0, 2, 180, 6, 1))[3], 180);
}

TEST(Packets, PaperFeedMotorAlwaysMovesOnly) {
  // "HOME" (0) asked of the PF motor goes out as MoveOnly (1).
  CommandPacket p = MotorPacket(M(1, 0, 9, 60, 6, 0));
  EXPECT_EQ(p[2], 0x29);
  EXPECT_EQ(p[6], 0x61);
  EXPECT_EQ(p[7], Checksum(p));
  EXPECT_EQ(MotorPacket(M(1, 0, 9, 60, 6, 5))[6], 0x61);
  EXPECT_EQ(MotorPacket(M(0, 0, 0, 0, 6, 0))[6], 0x60);
}

TEST(Packets, OutOfRangeMotorArgumentsStayInTheirFields) {
  CommandPacket p = MotorPacket(M(3, 2, 0x1F, 0x1234567, 0x17, 0x12));
  EXPECT_EQ(p[2], 0x2F);  // motor 1, direction 0, speed 15
  EXPECT_EQ(p[3], 0x67);
  EXPECT_EQ(p[4], 0x45);
  EXPECT_EQ(p[5], 0x23);
  EXPECT_EQ(p[6], 0x71);  // position 7, PF action 1
}

TEST(Packets, TofValueIsASignedByte) {
  EXPECT_EQ(Hex(TofPacket(-2)), "1c91fe000000008f");
  EXPECT_EQ(Hex(TofPacket(3)), "1c91030000000094");
}

TEST(Packets, BiDTransferIsFourPacketsBackToBack) {
  BiDTransfer t = MakeBiDTransfer({8, 8, 13, 8});
  EXPECT_EQ(Hex(std::span(t).first(8)), "1c4441000800008d");
  EXPECT_EQ(Hex(std::span(t).subspan(16, 8)), "1c4441020d000094");
  EXPECT_EQ(Hex(std::span(t).subspan(24, 8)), "1c44410308000090");
}

TEST(Packets, RemotePacketLayout) {
  RemotePacket st = MakeRemotePacket("ST", 0);
  EXPECT_EQ(Hex(st), "1b285208000052454d4f5445315354020000001b000000");
  RemotePacket ch = MakeRemotePacket("CH", 3);
  EXPECT_EQ(ch[13], 'C');
  EXPECT_EQ(ch[14], 'H');
  EXPECT_EQ(ch[18], 3);
}

TEST(Packets, Notation) {
  EXPECT_EQ(ToString(M(1, 1, 7, 150000, 6, 1)), "M(1,1,7,150000,6,1)");
  EXPECT_EQ(ToString(J(0, 1)), "J(0,1)");
}

}  // namespace
}  // namespace tarvo
