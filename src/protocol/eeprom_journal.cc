#include "protocol/eeprom_journal.h"

#include <algorithm>

#include "model/printer_identity.h"
#include "model/rom_layout.h"

namespace tarvo {
namespace {

size_t AreaSize(EepromArea area) {
  return area == EepromArea::kHeadBlock ? kHeadBlockSize : kRomImageSize;
}

// Puts `bytes` at `start` into what the sink has seen; a read that covers the identity updates
// the sink's last printer.
void See(RecordSink& sink, size_t start, std::span<const uint8_t> bytes) {
  RecordSink::Seen& seen = sink.seen();
  for (size_t i = 0; i < bytes.size() && start + i < seen.bytes.size(); ++i) {
    seen.bytes[start + i] = bytes[i];
    seen.known[start + i] = true;
  }
  if (start == 0 && bytes.size() >= kHeadIdOffset + kHeadIdSize) {
    sink.SetLastPrinter(IdentityOf(bytes));
  }
}

}  // namespace

void NoteEepromRead(const Context& ctx, uint8_t start, std::span<const uint8_t> bytes) {
  if (ctx.records) See(*ctx.records, start, bytes);
}

JournalledWrite::JournalledWrite(const Context& ctx, EepromArea area) : ctx_(ctx), area_(area) {
  if (!ctx.records) return;
  const RecordSink::Seen& seen = ctx.records->seen();
  const size_t size = AreaSize(area);
  if (std::all_of(seen.known.begin(), seen.known.begin() + size, [](bool k) { return k; })) {
    before_.assign(seen.bytes.begin(), seen.bytes.begin() + size);
  }
}

void JournalledWrite::Finish(std::span<const uint8_t> written, std::span<const uint8_t> read_back,
                             WriteCheck check) {
  if (!ctx_.records) return;
  RecordSink& sink = *ctx_.records;
  JournalEntry entry;
  entry.operation = sink.operation().empty() ? "(unnamed)" : sink.operation();
  const std::tm when = ctx_.clock.LocalTime();
  entry.time = IsoTime(when);
  entry.time_utc = UtcIsoTime(when);
  // The printer as it was; what it had not been given yet, as it is now.
  entry.printer = IdentityOf(before_);
  const PrinterIdentity now = IdentityOf(written);
  for (auto field :
       {&PrinterIdentity::model_code, &PrinterIdentity::usb_serial, &PrinterIdentity::head_id}) {
    if ((entry.printer.*field).empty()) entry.printer.*field = now.*field;
  }
  entry.area = area_;
  entry.before = before_;
  entry.written.assign(written.begin(), written.end());
  entry.read_back.assign(read_back.begin(), read_back.end());
  entry.check = check;
  // The printer now holds what the read-back showed, or else what was sent.
  See(sink, 0, read_back.empty() ? written : read_back);
  sink.Record(entry);
}

}  // namespace tarvo
