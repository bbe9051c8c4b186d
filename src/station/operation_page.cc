#include "station/operation_page.h"

#include <algorithm>
#include <stdexcept>

#include "model/destinations.h"
#include "station/station_files.h"

namespace tarvo::station {
namespace {

constexpr int kSlotWidth = 70;
constexpr int kSlotHeight = 18;

constexpr int kNumericFields[] = {kInkChargeField, kCleanNozzleField, kTotalPrintField,
                                  kMs1Field,       kMs2Field,         kVsdField,
                                  kEcnField,       kLeftPosField,     kTofField};

// The destination code the page shows for a printer's model code, or empty when none applies.
std::string_view CustomerCode(uint8_t b0, uint8_t b1, uint8_t b2) {
  if (b0 == 'T') return "TBD";
  if (b0 != '0') return {};
  switch (b1) {
    case '0':
      return "001";
    case '1':
      return "012";
    case '2':
      return "021";
    case '3':
      return b2 == '1' ? "031" : "032";
    case '4': {
      static constexpr std::string_view k04[] = {"041", "042", "043", "044", "045", "046"};
      if (b2 >= '1' && b2 <= '6') return k04[b2 - '1'];
      return {};
    }
    case '5':
      return "051";
    case '6':
      return "061";
    default:
      return {};
  }
}

std::string_view RowText(std::string_view code) {
  for (const Destination& d : Destinations()) {
    if (d.code == code) return d.text;
  }
  return {};
}

int Signed(uint8_t b) {
  return static_cast<int8_t>(b);
}

ResultLabel Label(std::string_view text, int left, int top, int right, int bottom, int state) {
  return {std::string(text), left, top, right, bottom, state};
}

}  // namespace

OperationPage::OperationPage()
    : fields{{kProgramField, "Program :", "0077"},
             {kFwVersionField, "FW Version :", ""},
             {kCustomerField, "Customer :", ""},
             {kBeltNameField, "Belt Name :", ""},
             {kPcNameField, "PC Name :", ""},
             {kUsbSerialField, "USB S/No. :", ""},
             {kHeadIdField, "Head ID :", ""},
             {kJigNoField, "Jig No. / CT :", ""},
             {kMachineNoField, "Machine No. :", ""},
             {kMachineIdField, "Machine ID :", ""},
             {kInkChargeField, "Ink Charge :", "0"},
             {kCleanNozzleField, "Clean Nozzle :", "0"},
             {kTotalPrintField, "Total Print :", "0"},
             {kMs1Field, "MS1 :", "0"},
             {kMs2Field, "MS2 :", "0"},
             {kVsdField, "VSD :", "0"},
             {kEcnField, "ECN :", "0"},
             {kTofField, "TOF :", "0"},
             {kLeftPosField, "Left Pos. :", "0"}} {}

PageField& OperationPage::MutableField(int id) {
  for (PageField& f : fields) {
    if (f.id == id) return f;
  }
  throw std::out_of_range("no page field " + std::to_string(id));
}

const PageField& OperationPage::Field(int id) const {
  return const_cast<OperationPage*>(this)->MutableField(id);
}

void OperationPage::SetField(int id, std::string text) {
  MutableField(id).text = std::move(text);
}

void OperationPage::Clear() {
  for (PageField& f : fields) {
    if (f.id != kProgramField) f.text.clear();
  }
  for (int id : kNumericFields) SetNumber(id, 0);
  steps.clear();
}

void OperationPage::ShowHeadBlock(std::span<const uint8_t, kHeadBlockSize> block,
                                  std::span<const uint8_t, kHeadBlockSize> working, bool serial) {
  const std::string_view code = CustomerCode(block[0], block[1], block[2]);
  if (!code.empty()) SetField(kCustomerField, std::string(RowText(code)));
  SetField(kBeltNameField, CharsText(block.subspan(kUsbSerialNoOffset, 3)));
  SetField(kPcNameField, CharsText(block.subspan(kUsbSerialNoOffset + 3, 2)));
  if (serial) {
    SetField(kUsbSerialField, CharsText(block.subspan(kUsbSerialNoOffset, 18)));
    SetField(kHeadIdField, CharsText(block.subspan(kHeadIdOffset, 6)));
  }
  SetNumber(kMs1Field, Signed(block[kMs1AdjustOffset]));
  SetNumber(kMs2Field, Signed(block[kMs2AdjustOffset]));
  SetNumber(kVsdField, Signed(block[kVsdAdjustOffset]));
  SetNumber(kEcnField, Signed(block[kEcnAdjustOffset]));
  SetNumber(kLeftPosField, Signed(block[kLeftMarginOffset]));
  SetNumber(kTofField, Signed(working[kTofAdjustOffset]) * 25);
}

void OperationPage::ResetLabels(Station station) {
  slot_labels.clear();
  for (const SlotPlace& p : SlotPlaces(station)) {
    slot_labels.push_back(Label(p.text, p.x, p.y, p.x + kSlotWidth, p.y + kSlotHeight, kBlack));
  }
  total = Label("Testing", 20, 415, 145, 457, kLargeBlue);
  write_rom_fail = Label("Write ROM Fail", 550, 395, 644, 413, kBlack);
}

void OperationPage::SetSlot(size_t slot, int state) {
  if (slot < slot_labels.size()) slot_labels[slot].state = state;
}

void OperationPage::ShowTotal(uint8_t result, uint8_t rom_write_failures) {
  switch (result) {
    case 1:
      total.text = "PASS";
      total.state = kLargeGreen;
      break;
    case 0:
      total.text = "FAIL";
      total.state = kLargeRed;
      break;
    default:
      total.text = "Testing";
      total.state = kLargeBlue;
      break;
  }
  if (rom_write_failures != 0) write_rom_fail.state = kRed;
}

}  // namespace tarvo::station
