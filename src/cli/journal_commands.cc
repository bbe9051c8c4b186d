// The EEPROM journal: "journal list|show|restore" over the machine's records file.
#include <algorithm>
#include <optional>

#include "base/operator.h"
#include "cli/command.h"
#include "cli/field_text.h"
#include "cli/one_line.h"
#include "cli/records_args.h"
#include "cli/session.h"
#include "model/printer_identity.h"
#include "model/rom_layout.h"
#include "protocol/eeprom.h"
#include "records/record_keeper.h"

namespace tarvo::cli {
namespace {

constexpr std::string_view kJournalCaption = "Journal";

bool Differs(std::span<const uint8_t> a, std::span<const uint8_t> b, const RomField& f) {
  if (f.offset + f.size > a.size() || f.offset + f.size > b.size()) return !a.empty() || !b.empty();
  return !std::equal(a.begin() + f.offset, a.begin() + f.offset + f.size, b.begin() + f.offset);
}

size_t ChangedFields(const JournalEntry& e) {
  size_t n = 0;
  for (const RomField& f : RomFields()) {
    if (f.offset + f.size > e.written.size()) break;
    if (Differs(e.before, e.written, f)) ++n;
  }
  return n;
}

std::string Printer(const PrinterIdentity& p) {
  return (p.usb_serial.empty() ? "-" : OneLine(p.usb_serial)) + " " +
         (p.head_id.empty() ? "-" : OneLine(p.head_id));
}

int List(Session& s, records::LocalStore& store, const RecordsArgs& a) {
  for (const auto& j : store.Journal(a.serial)) {
    const JournalEntry& e = j.record;
    s.out << j.id << " " << OneLine(e.time) << " " << OneLine(e.operation) << " | "
          << AreaName(e.area) << " | " << Printer(e.printer) << " | " << CheckName(e.check)
          << " | ";
    if (e.before.empty()) {
      s.out << "nothing read before\n";
    } else {
      s.out << ChangedFields(e) << " fields changed\n";
    }
  }
  return kExitOk;
}

// Field by field: "0x1b Ms1Adjust: -10 -> -3 *" (a star where the write changed the field; the
// read-back after it when it differs from what was written).
int Show(Session& s, records::LocalStore& store, int64_t id) {
  std::optional<records::StoredJournal> j = store.JournalEntryById(id);
  if (!j) {
    s.err << "tarvo-cli: no journal entry " << id << "\n";
    return kExitFailed;
  }
  const JournalEntry& e = j->record;
  s.out << "journal " << j->id << " (" << j->uid << "): " << OneLine(e.operation) << " at "
        << OneLine(e.time) << " on " << OneLine(j->origin.host) << ", tarvo "
        << OneLine(j->origin.tool_version) << " (" << OneLine(j->origin.edition) << ")\n"
        << "printer: model " << OneLine(e.printer.model_code) << ", USB S/No. "
        << OneLine(e.printer.usb_serial) << ", head ID " << OneLine(e.printer.head_id) << "\n"
        << AreaName(e.area) << ", " << e.written.size() << " bytes, " << CheckName(e.check)
        << (e.before.empty() ? "; nothing of it was read before the write" : "") << "\n";
  for (const RomField& f : RomFields()) {
    if (f.offset + f.size > e.written.size()) break;
    s.out << OffsetText(f) << " " << (f.name.empty() ? "(unnamed)" : f.name) << ": "
          << (e.before.empty() ? "?" : FieldValue(e.before, f)) << " -> "
          << FieldValue(e.written, f);
    if (!e.before.empty() && Differs(e.before, e.written, f)) s.out << " *";
    if (e.read_back.size() == e.written.size() && Differs(e.written, e.read_back, f)) {
      s.out << " (read back " << FieldValue(e.read_back, f) << ")";
    }
    s.out << "\n";
  }
  return kExitOk;
}

// Writes the content an entry's write replaced back into the printer, with read-back
// verification, once the operator has said yes.
int Restore(Session& s, records::LocalStore& store, int64_t id) {
  std::optional<records::StoredJournal> j = store.JournalEntryById(id);
  if (!j) {
    s.err << "tarvo-cli: no journal entry " << id << "\n";
    return kExitFailed;
  }
  const JournalEntry& e = j->record;
  const size_t size = e.area == EepromArea::kHeadBlock ? kHeadBlockSize : kRomImageSize;
  if (e.before.size() != size) {
    s.err << "tarvo-cli: journal entry " << id
          << " holds nothing from before its write; there is nothing to restore\n";
    return kExitFailed;
  }
  const bool framed = !s.link.is_open();
  if (framed && !s.link.HandleOpen()) {
    s.err << "tarvo-cli: the printer is off line\n";
    return kExitOffline;
  }
  s.ctx.records->BeginOperation("journal restore " + std::to_string(id));
  // What the printer holds now: it tells whose printer this is, and the restore's own journal
  // entry keeps it as the content the restore replaced.
  RomImage now{};
  HeadBlock block_now{};
  const Outcome read_now = e.area == EepromArea::kHeadBlock ? ReadData(s.ctx, s.link, block_now)
                                                            : ReadRomImage(s.ctx, s.link, now);
  const bool read = read_now.achieved();
  if (e.area == EepromArea::kHeadBlock) PutHeadBlock(now, block_now);
  std::string question = "Write back the " + std::string(AreaName(e.area)) + " as it was before " +
                         e.operation + " at " + e.time + " (journal entry " + std::to_string(id) +
                         ")?";
  const PrinterIdentity here = read ? IdentityOf(now) : PrinterIdentity{};
  if (!read) {
    question += "\nThe printer's EEPROM could not be read.";
  } else if (here.usb_serial != e.printer.usb_serial) {
    question += "\nThis printer is " + Quoted(here.usb_serial) + ", the entry is of " +
                Quoted(e.printer.usb_serial) + ".";
  }
  const Reply reply = s.ctx.op.Show(
      Message{question, std::string(kJournalCaption), Icon::kInformation, Buttons::kYesNo});
  int status = kExitFailed;
  if (reply != Reply::kYes) {
    s.out << "journal restore: cancelled\n";
  } else {
    bool verified = false;
    if (e.area == EepromArea::kHeadBlock) {
      HeadBlock block{};
      std::copy(e.before.begin(), e.before.end(), block.begin());
      verified = WriteDataVerify(s.ctx, s.link, block, s.station.read_block).achieved();
    } else {
      RomImage image{};
      std::copy(e.before.begin(), e.before.end(), image.begin());
      verified = WriteRomImageVerify(s.ctx, s.link, image, EveryImageByte()).achieved();
    }
    s.out << "journal restore: " << (verified ? "written and verified" : "not verified") << "\n";
    status = verified ? kExitOk : kExitFailed;
  }
  if (framed) s.link.HandleClose();
  return status;
}

int JournalCommand(Session& s, std::span<const std::string> args) {
  std::string problem;
  std::optional<RecordsArgs> a = ParseJournalArgs(args, &problem);
  if (!a) {
    s.err << "tarvo-cli: journal: " << problem << "\n";
    return kExitUsage;
  }
  records::LocalStore* store = s.records->Readable();
  if (!store) return kExitFailed;
  int status = kExitOk;
  if (a->verb == "list") {
    status = List(s, *store, *a);
  } else if (a->verb == "show") {
    status = Show(s, *store, a->id);
  } else {
    status = Restore(s, *store, a->id);
  }
  if (!store->read_failed()) return status;
  s.err << "tarvo-cli: journal: " << store->path() << " cannot be read: " << store->error() << "\n";
  return kExitFailed;
}

const bool registered =
    RegisterCommand({.name = "journal",
                     .usage = "list [--serial S] | show ID | restore ID",
                     .help = "the EEPROM writes on record, with the content each replaced",
                     .min_args = 1,
                     .max_args = 3,
                     .run = JournalCommand});

}  // namespace
}  // namespace tarvo::cli
