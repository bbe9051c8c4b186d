#include "sim/notation.h"

#include <algorithm>
#include <string_view>

#include "base/hex.h"

namespace tarvo::sim {
namespace {

constexpr std::array<uint8_t, 13> kRemotePrefix = {0x1B, 0x28, 0x52, 0x08, 0x00, 0x00, 'R',
                                                   'E',  'M',  'O',  'T',  'E',  '1'};
constexpr std::array<uint8_t, 5> kHeaderPrefix = {0x1B, 0x40, 0x1B, 0x55, 0x01};

bool StartsWith(std::span<const uint8_t> bytes, std::span<const uint8_t> prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

bool GoodSum(std::span<const uint8_t> packet) {
  return packet[7] == Checksum(packet);
}

std::string Num(long long value) {
  return std::to_string(value);
}

std::string DescribeCommand(const std::array<uint8_t, kCommandSize>& p) {
  switch (p[1]) {
    case kFirmware:
      return "F";
    case kTemperature:
      return "T";
    case kJobMark:
      return "J(" + Num(p[2]) + "," + Num(p[3]) + ")";
    case kPowerOff:
      return "p(" + Num(p[2]) + ")";
    case kTof:
      return "TOF(" + Num(static_cast<int8_t>(p[2])) + ")";
    case kMotor: {
      uint32_t steps = p[3] | (p[4] << 8) | (p[5] << 16);
      return "M(" + Num((p[2] >> 5) & 1) + "," + Num((p[2] >> 4) & 1) + "," + Num(p[2] & 0x0F) +
             "," + Num(steps) + "," + Num(p[6] >> 4) + "," + Num(p[6] & 0x0F) + ")";
    }
    case kMemory:
      if (p[2] <= 1) {
        int length = p[4] | (p[5] << 8);
        return std::string(p[2] == 0 ? "READ(" : "WRITE(") + Num(p[3]) + "," + Num(length) + ")";
      }
      break;
  }
  return "CMD " + ToHex(p);
}

}  // namespace

uint8_t Checksum(std::span<const uint8_t> packet) {
  unsigned sum = 0;
  for (size_t i = 1; i <= 6 && i < packet.size(); ++i) sum += packet[i];
  return static_cast<uint8_t>(sum);
}

std::array<uint8_t, kCommandSize> MakeCommand(uint8_t code, uint8_t p0, uint8_t p1, uint8_t p2,
                                              uint8_t p3, uint8_t p4) {
  std::array<uint8_t, kCommandSize> packet = {0x1C, code, p0, p1, p2, p3, p4, 0};
  packet[7] = Checksum(packet);
  return packet;
}

Parsed WireParser::Next(std::span<const uint8_t> transfer) {
  Parsed out;
  if (pending_) {
    out.kind = TransferKind::kData;
    out.target = *pending_;
    pending_.reset();
    return out;
  }
  if (transfer.size() == kCommandSize && transfer[0] == 0x1C) {
    if (!GoodSum(transfer)) {
      out.kind = TransferKind::kBadSum;
      return out;
    }
    out.kind = TransferKind::kCommand;
    std::copy(transfer.begin(), transfer.end(), out.packet.begin());
    const auto& p = out.packet;
    uint16_t length = static_cast<uint16_t>(p[4] | (p[5] << 8));
    // A write of nothing has no data transfer after it.
    if (p[1] == kMemory && p[2] == 1 && length > 0) pending_ = MemoryWrite{p[3], length};
    return out;
  }
  if (transfer.size() == kRemoteSize && StartsWith(transfer, kRemotePrefix)) {
    out.kind = TransferKind::kRemote;
    out.remote_command = {static_cast<char>(transfer[13]), static_cast<char>(transfer[14])};
    out.remote_parameter = transfer[18];
    return out;
  }
  if (transfer.size() == kBiDSize) {
    bool all_d = true;
    for (size_t i = 0; i < 4; ++i) {
      all_d = all_d && transfer[i * 8] == 0x1C && transfer[i * 8 + 1] == kBiD;
    }
    if (all_d) {
      for (size_t i = 0; i < 4; ++i) {
        auto packet = transfer.subspan(i * 8, kCommandSize);
        if (!GoodSum(packet)) {
          out.kind = TransferKind::kBadSum;
          return out;
        }
        out.bid[i] = packet[4];
      }
      out.kind = TransferKind::kBiD;
      return out;
    }
  }
  if (transfer.size() < kHeaderLimit && StartsWith(transfer, kHeaderPrefix)) {
    out.kind = TransferKind::kHeader;
    return out;
  }
  return out;  // print data
}

std::string Describe(const Parsed& parsed, std::span<const uint8_t> transfer) {
  switch (parsed.kind) {
    case TransferKind::kCommand:
      return DescribeCommand(parsed.packet);
    case TransferKind::kBadSum:
      return "BADSUM " + ToHex(transfer);
    case TransferKind::kRemote:
      return "REMOTE " + parsed.remote_command + " " + Num(parsed.remote_parameter);
    case TransferKind::kBiD:
      return "D(" + Num(parsed.bid[0]) + "," + Num(parsed.bid[1]) + "," + Num(parsed.bid[2]) + "," +
             Num(parsed.bid[3]) + ")";
    case TransferKind::kData:
      return "DATA(" + Num(static_cast<long long>(transfer.size())) + ")";
    case TransferKind::kHeader:
      return "TEXT(" + Num(static_cast<long long>(transfer.size())) + ")";
    case TransferKind::kPrint:
      break;
  }
  return "PRINT(" + Num(static_cast<long long>(transfer.size())) + ")";
}

std::string Describe(std::span<const uint8_t> transfer) {
  WireParser parser;
  return Describe(parser.Next(transfer), transfer);
}

std::vector<std::string> DescribeTraffic(const std::vector<std::string>& wire_lines) {
  std::vector<std::string> out;
  WireParser parser;
  for (const std::string& line : wire_lines) {
    std::string_view text = line;
    if (text.starts_with("W ")) {
      auto bytes = FromHex(text.substr(2));
      if (!bytes) continue;
      out.push_back(Describe(parser.Next(*bytes), *bytes));
    } else if (text.starts_with("S ")) {
      out.push_back("wait " + std::string(text.substr(2)));
    }
  }
  return out;
}

}  // namespace tarvo::sim
