#include "protocol/eeprom.h"

#include <algorithm>
#include <array>

#include "protocol/commands.h"
#include "protocol/packets.h"

namespace tarvo {
namespace {

// The 8-byte answer that precedes the data of a block or image read; its content is not used.
bool ReadAnswer(PrinterLink& link) {
  std::array<uint8_t, 8> answer{};
  return link.ReadReply(answer);
}

}  // namespace

bool ReadData(const Context& ctx, PrinterLink& link, HeadBlock& dest) {
  constexpr ReadExchange kExchange = ReadExchange::kHeadBlock;
  PreambleAt(ctx, link, kExchange, ExchangeStage::kBeforeCommand);
  if (!link.TimedWrite(MemoryPacket(kMemoryRead, 0, kHeadBlockSize))) {
    ctx.Error(ctx.Text({kWriteCommandError, "ReadData寫入失敗!!"}), kWriteCaption);
    return false;
  }
  PreambleAt(ctx, link, kExchange, ExchangeStage::kAfterCommand);
  if (!ReadAnswer(link)) {
    ctx.Error(ctx.Text({kReadCommandError, "Read Data 讀取失敗 1 !!"}), kReadCaption);
    return false;
  }
  PreambleAt(ctx, link, kExchange, ExchangeStage::kAfterAnswer);
  HeadBlock data{};
  if (!link.ReadReply(data)) {
    ctx.Error(ctx.Text({kReadCommandError, "Read Data 讀取失敗 2 !!"}), kReadCaption);
    return false;
  }
  std::copy(data.begin(), data.end(), dest.begin());
  return true;
}

bool WriteData(const Context& ctx, PrinterLink& link, const HeadBlock& block) {
  if (!link.TimedWrite(MemoryPacket(kMemoryWrite, 0, kHeadBlockSize))) {
    ctx.Error(ctx.Text({kWriteCommandError, "寫入資料失敗 1 !!"}), kWriteCaption);
    return false;
  }
  if (!link.TimedWrite(block)) {
    ctx.Error(ctx.Text({kWriteCommandError, "寫入資料失敗 2 !!"}), kWriteCaption);
    return false;
  }
  return true;
}

bool WriteDataVerify(const Context& ctx, PrinterLink& link, const HeadBlock& block,
                     HeadBlock& read_back) {
  const bool written = WriteData(ctx, link, block);
  // Read back even after a failed write, so the caller's read block shows what the printer holds.
  const bool read = ReadData(ctx, link, read_back);
  return written && read && std::equal(block.begin(), block.end(), read_back.begin());
}

bool ReadRomImage(const Context& ctx, PrinterLink& link, std::span<uint8_t, kRomImageSize> dest) {
  constexpr ReadExchange kExchange = ReadExchange::kRomImage;
  PreambleAt(ctx, link, kExchange, ExchangeStage::kBeforeCommand);
  if (!WriteCommand(ctx, link, MemoryPacket(kMemoryRead, 0, kRomImageSize))) return false;
  PreambleAt(ctx, link, kExchange, ExchangeStage::kAfterCommand);
  if (!ReadAnswer(link)) return false;
  PreambleAt(ctx, link, kExchange, ExchangeStage::kAfterAnswer);
  RomImage data{};
  if (!link.ReadReply(data)) return false;
  std::copy(data.begin(), data.end(), dest.begin());

  std::optional<std::string> version = ReadFWVersion(ctx, link);
  if (!version) return false;
  std::copy_n(version->begin(), kFwVersionSize, dest.begin() + kFwVersionOffset);
  // The stored version may now differ from the stamped one; a read never writes that back.
  return true;
}

bool WriteRomImage(const Context& ctx, PrinterLink& link,
                   std::span<const uint8_t, kRomImageSize> image) {
  return WriteCommand(ctx, link, MemoryPacket(kMemoryWrite, 0, kRomImageSize)) &&
         WriteCommand(ctx, link, image);
}

bool WriteRomImageVerify(const Context& ctx, PrinterLink& link,
                         std::span<const uint8_t, kRomImageSize> image) {
  const bool written = WriteRomImage(ctx, link, image);
  RomImage back{};
  if (!ReadRomImage(ctx, link, back)) return false;
  return written && std::equal(image.begin(), image.begin() + kVerifiedImageBytes, back.begin());
}

bool ReadMemory(const Context& ctx, PrinterLink& link, std::span<uint8_t> dest, uint8_t start) {
  if (dest.size() > PrinterLink::kReplyReadSize) return false;
  constexpr ReadExchange kExchange = ReadExchange::kMemory;
  const std::string_view write_error =
      ctx.Text({kWriteCommandError, " MELoadFile Command 寫入失敗 !!"});
  const std::string_view read_error =
      ctx.Text({kReadCommandError, "MELoadFile Command 讀取失敗 !!"});

  PreambleAt(ctx, link, kExchange, ExchangeStage::kBeforeCommand);
  if (!link.TimedWrite(MemoryPacket(kMemoryRead, start, static_cast<uint16_t>(dest.size())))) {
    ctx.Error(write_error, kWriteCaption);
    return false;
  }
  PreambleAt(ctx, link, kExchange, ExchangeStage::kAfterCommand);
  std::array<uint8_t, PrinterLink::kReplyBufferSize> answer{};
  if (!link.ReadReply(answer)) {
    ctx.Error(read_error, kReadCaption);
    return false;
  }
  PreambleAt(ctx, link, kExchange, ExchangeStage::kAfterAnswer);
  std::array<uint8_t, PrinterLink::kReplyReadSize> data{};
  if (!link.ReadReply(std::span(data).first(dest.size()))) {
    ctx.Error(read_error, kReadCaption);
    return false;
  }
  std::copy_n(data.begin(), dest.size(), dest.begin());
  return true;
}

}  // namespace tarvo
