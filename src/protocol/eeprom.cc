#include "protocol/eeprom.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "protocol/commands.h"
#include "protocol/eeprom_journal.h"
#include "protocol/packets.h"

namespace tarvo {
namespace {

// The 8-byte answer that precedes the data of a block or image read; its content is not used.
bool ReadAnswer(PrinterLink& link) {
  std::array<uint8_t, 8> answer{};
  return link.ReadReply(answer);
}

std::string Offset(size_t at) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02zx", at);
  return text;
}

}  // namespace

Outcome ReadData(const Context& ctx, PrinterLink& link, HeadBlock& dest) {
  constexpr ReadExchange kExchange = ReadExchange::kHeadBlock;
  Outcome passed;
  passed.PassOver(PreambleAt(ctx, link, kExchange, ExchangeStage::kBeforeCommand));
  if (Outcome sent = WriteTold(ctx, link, MemoryPacket(kMemoryRead, 0, kHeadBlockSize),
                               ctx.Text({kWriteCommandError, "ReadData寫入失敗!!"}));
      !sent) {
    return sent;
  }
  passed.PassOver(PreambleAt(ctx, link, kExchange, ExchangeStage::kAfterCommand));
  if (!ReadAnswer(link)) {
    const std::string_view error = ctx.Text({kReadCommandError, "Read Data 讀取失敗 1 !!"});
    ctx.Error(error, kReadCaption);
    return Outcome::TransferFailed(std::string(error));
  }
  passed.PassOver(PreambleAt(ctx, link, kExchange, ExchangeStage::kAfterAnswer));
  HeadBlock data{};
  if (Outcome read =
          ReadTold(ctx, link, data, ctx.Text({kReadCommandError, "Read Data 讀取失敗 2 !!"}));
      !read) {
    return read;
  }
  std::copy(data.begin(), data.end(), dest.begin());
  NoteEepromRead(ctx, 0, data);
  return passed;
}

namespace {

Outcome SendHeadBlock(const Context& ctx, PrinterLink& link, const HeadBlock& block) {
  if (Outcome sent = WriteTold(ctx, link, MemoryPacket(kMemoryWrite, 0, kHeadBlockSize),
                               ctx.Text({kWriteCommandError, "寫入資料失敗 1 !!"}));
      !sent) {
    return sent;
  }
  return WriteTold(ctx, link, block, ctx.Text({kWriteCommandError, "寫入資料失敗 2 !!"}));
}

Outcome CheckHeadBlock(const Outcome& written, const Outcome& read, const HeadBlock& block,
                       const HeadBlock& read_back) {
  if (!written) return written;
  if (!read) return read;
  auto differs = std::mismatch(block.begin(), block.end(), read_back.begin());
  if (differs.first != block.end()) {
    return Outcome::VerifyFailed("head data block read back differs at " +
                                 Offset(static_cast<size_t>(differs.first - block.begin())));
  }
  return read;
}

}  // namespace

Outcome WriteData(const Context& ctx, PrinterLink& link, const HeadBlock& block) {
  JournalledWrite journal(ctx, EepromArea::kHeadBlock);
  const Outcome written = SendHeadBlock(ctx, link, block);
  journal.Finish(block, {}, WriteCheck::kNotChecked);
  return written;
}

Outcome WriteDataVerify(const Context& ctx, PrinterLink& link, const HeadBlock& block,
                        HeadBlock& read_back) {
  JournalledWrite journal(ctx, EepromArea::kHeadBlock);
  const Outcome written = SendHeadBlock(ctx, link, block);
  // Read back even after a failed write, so the caller's read block shows what the printer holds.
  const Outcome read = ReadData(ctx, link, read_back);
  const Outcome result = CheckHeadBlock(written, read, block, read_back);
  journal.Finish(block, read ? std::span<const uint8_t>(read_back) : std::span<const uint8_t>(),
                 result.achieved() ? WriteCheck::kVerified : WriteCheck::kMismatch);
  return result;
}

Outcome ReadRomImage(const Context& ctx, PrinterLink& link,
                     std::span<uint8_t, kRomImageSize> dest) {
  constexpr ReadExchange kExchange = ReadExchange::kRomImage;
  Outcome passed;
  passed.PassOver(PreambleAt(ctx, link, kExchange, ExchangeStage::kBeforeCommand));
  if (Outcome sent = WriteCommand(ctx, link, MemoryPacket(kMemoryRead, 0, kRomImageSize)); !sent)
    return sent;
  passed.PassOver(PreambleAt(ctx, link, kExchange, ExchangeStage::kAfterCommand));
  if (!ReadAnswer(link)) return Outcome::TransferFailed("no answer to the ROM data image read");
  passed.PassOver(PreambleAt(ctx, link, kExchange, ExchangeStage::kAfterAnswer));
  RomImage data{};
  if (!link.ReadReply(data)) return Outcome::TransferFailed("no ROM data image in the reply");
  std::copy(data.begin(), data.end(), dest.begin());
  NoteEepromRead(ctx, 0, data);

  std::string version;
  const Outcome queried = ReadFWVersion(ctx, link, version);
  if (!queried.achieved()) return queried;
  passed.PassOver(queried);
  std::copy_n(version.begin(), kFwVersionSize, dest.begin() + kFwVersionOffset);
  // The stored version may now differ from the stamped one; a read never writes that back.
  return passed;
}

namespace {

Outcome SendRomImage(const Context& ctx, PrinterLink& link,
                     std::span<const uint8_t, kRomImageSize> image) {
  if (Outcome sent = WriteCommand(ctx, link, MemoryPacket(kMemoryWrite, 0, kRomImageSize)); !sent)
    return sent;
  return WriteCommand(ctx, link, image);
}

Outcome CheckRomImage(const Outcome& written, const Outcome& read,
                      std::span<const uint8_t, kRomImageSize> image, const RomImage& back,
                      const ImageBytes& meant) {
  if (!written) return written;
  if (!read.achieved()) return read;
  for (size_t i = 0; i < kRomImageSize; ++i) {
    const bool version = i >= kFwVersionOffset && i < kFwVersionOffset + kFwVersionSize;
    const bool checked = i < kVerifiedImageBytes || (meant[i] && !version);
    if (checked && image[i] != back[i]) {
      return Outcome::VerifyFailed("ROM data image read back differs at " + Offset(i));
    }
  }
  return read;
}

}  // namespace

Outcome WriteRomImage(const Context& ctx, PrinterLink& link,
                      std::span<const uint8_t, kRomImageSize> image) {
  JournalledWrite journal(ctx, EepromArea::kRomImage);
  const Outcome written = SendRomImage(ctx, link, image);
  journal.Finish(image, {}, WriteCheck::kNotChecked);
  return written;
}

ImageBytes ChangedBytes(std::span<const uint8_t, kRomImageSize> before,
                        std::span<const uint8_t, kRomImageSize> after) {
  ImageBytes changed;
  for (size_t i = 0; i < kRomImageSize; ++i) changed[i] = before[i] != after[i];
  return changed;
}

ImageBytes EveryImageByte() {
  return ImageBytes().set();
}

Outcome WriteRomImageVerify(const Context& ctx, PrinterLink& link,
                            std::span<const uint8_t, kRomImageSize> image,
                            const ImageBytes& meant) {
  JournalledWrite journal(ctx, EepromArea::kRomImage);
  const Outcome written = SendRomImage(ctx, link, image);
  RomImage back{};
  const Outcome read = ReadRomImage(ctx, link, back);
  const Outcome result = CheckRomImage(written, read, image, back, meant);
  journal.Finish(image,
                 read.achieved() ? std::span<const uint8_t>(back) : std::span<const uint8_t>(),
                 result.achieved() ? WriteCheck::kVerified : WriteCheck::kMismatch);
  return result;
}

Outcome ReadMemory(const Context& ctx, PrinterLink& link, std::span<uint8_t> dest, uint8_t start) {
  if (dest.size() > PrinterLink::kReplyReadSize) {
    return Outcome::NotDone("a memory read longer than one reply");
  }
  constexpr ReadExchange kExchange = ReadExchange::kMemory;
  const std::string_view write_error =
      ctx.Text({kWriteCommandError, " MELoadFile Command 寫入失敗 !!"});
  const std::string_view read_error =
      ctx.Text({kReadCommandError, "MELoadFile Command 讀取失敗 !!"});

  Outcome passed;
  passed.PassOver(PreambleAt(ctx, link, kExchange, ExchangeStage::kBeforeCommand));
  if (Outcome sent =
          WriteTold(ctx, link, MemoryPacket(kMemoryRead, start, static_cast<uint16_t>(dest.size())),
                    write_error);
      !sent) {
    return sent;
  }
  passed.PassOver(PreambleAt(ctx, link, kExchange, ExchangeStage::kAfterCommand));
  std::array<uint8_t, PrinterLink::kReplyBufferSize> answer{};
  if (Outcome read = ReadTold(ctx, link, answer, read_error); !read) return read;
  passed.PassOver(PreambleAt(ctx, link, kExchange, ExchangeStage::kAfterAnswer));
  std::array<uint8_t, PrinterLink::kReplyReadSize> data{};
  if (Outcome read = ReadTold(ctx, link, std::span(data).first(dest.size()), read_error); !read)
    return read;
  std::copy_n(data.begin(), dest.size(), dest.begin());
  NoteEepromRead(ctx, start, dest);
  return passed;
}

}  // namespace tarvo
