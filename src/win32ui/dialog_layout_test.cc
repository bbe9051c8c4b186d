#include "win32ui/dialog_layout.h"

#include <gmock/gmock.h>

#include <array>
#include <functional>
#include <memory>
#include <set>

#include "base/edition.h"
#include "dialogs/charge_dialog.h"
#include "dialogs/dis_message_dialog.h"
#include "dialogs/eeprom_data_dialog.h"
#include "dialogs/fw_version_dialog.h"
#include "dialogs/input_id_dialog.h"
#include "dialogs/inspection_dialog.h"
#include "dialogs/measure_result_dialog.h"
#include "dialogs/motor_dialog.h"
#include "dialogs/motor_move_dialog.h"
#include "dialogs/pass_fail_dialog.h"
#include "dialogs/power_off_dialog.h"
#include "dialogs/station_setting_dialogs.h"
#include "dialogs/tof_adjust_dialog.h"
#include "dialogs/value_entry_dialog.h"
#include "win32ui/file_chooser.h"

namespace tarvo::win32ui {
namespace {

// Every dialog model the device layer and the station show, loaded as a view loads it.
std::vector<std::unique_ptr<DialogModel>> EveryDialog(const Edition& edition) {
  std::vector<std::unique_ptr<DialogModel>> all;
  all.push_back(std::make_unique<InputIdDialog>(InputIdDialog::Kind::kHeadId));
  all.push_back(std::make_unique<InputIdDialog>(InputIdDialog::Kind::kMachineNo));
  all.push_back(std::make_unique<InputIdDialog>(InputIdDialog::Kind::kMachineId));
  auto value = std::make_unique<ValueEntryDialog>();
  value->caption_text = "MS1";
  all.push_back(std::move(value));
  all.push_back(std::make_unique<TofAdjustDialog>());
  all.push_back(std::make_unique<ChargeDialog>());
  all.push_back(std::make_unique<FwVersionDialog>());
  all.push_back(std::make_unique<MotorMoveDialog>());
  all.push_back(std::make_unique<MotorDialog>());
  all.push_back(std::make_unique<PowerOffDialog>());
  all.push_back(std::make_unique<PassFailDialog>());
  for (int kind = 0; kind < 5; ++kind) all.push_back(std::make_unique<InspectionDialog>(kind));
  all.push_back(std::make_unique<DisMessageDialog>(edition));
  auto eeprom = std::make_unique<EepromDataDialog>(edition);
  std::array<uint8_t, kRomImageSize> image{};
  eeprom->LoadFrom(image);
  all.push_back(std::move(eeprom));
  all.push_back(std::make_unique<MeasureResultDialog>("Mono Measure", "KDot.prn", 1e6));
  all.push_back(std::make_unique<Station1Dialog>());
  all.push_back(std::make_unique<Station2Dialog>());
  for (auto& dialog : all) dialog->Load();
  return all;
}

bool Overlap(const TemplateItem& a, const TemplateItem& b) {
  return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
}

bool Inside(const TemplateItem& inner, const TemplateItem& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.cx <= outer.x + outer.cx &&
         inner.y + inner.cy <= outer.y + outer.cy;
}

bool IsGroupBox(const TemplateItem& item) {
  return item.item_class == ItemClass::kButton && (item.style & 0xF) == BS_GROUPBOX;
}

// The height a drop-down list's template gives includes its open list; on the dialog it is one
// line.
TemplateItem Shown(TemplateItem item) {
  if (item.item_class == ItemClass::kComboBox) item.cy = 12;
  return item;
}

class EveryDialogLaidOut : public ::testing::TestWithParam<const Edition*> {};

TEST_P(EveryDialogLaidOut, EachControlHasItsWindowWithinTheDialogAndNoneCoversAnother) {
  for (const auto& dialog : EveryDialog(*GetParam())) {
    SCOPED_TRACE(dialog->caption());
    const DialogSpec spec = LayOut(*dialog);
    std::set<int> ids;
    for (const TemplateItem& item : spec.items) {
      EXPECT_TRUE(ids.insert(item.id).second) << "id " << item.id << " twice";
      EXPECT_GE(item.x, 0);
      EXPECT_GE(item.y, 0);
      EXPECT_LE(item.x + item.cx, spec.cx) << "id " << item.id;
      EXPECT_LE(item.y + Shown(item).cy, spec.cy) << "id " << item.id;
    }
    const auto& controls = dialog->controls();
    for (size_t i = 0; i < controls.size(); ++i) {
      const Control& c = controls[i];
      if (c.kind == ControlKind::kRadio) {
        for (int option : c.option_ids) EXPECT_TRUE(ids.count(option)) << "radio " << option;
        EXPECT_TRUE(ids.count(LabelId(i))) << "group box of " << c.label;
      } else {
        EXPECT_TRUE(ids.count(ItemId(c, i))) << "control " << c.id;
      }
    }
    // Radio buttons lie in their group box; nothing else overlaps.
    for (size_t a = 0; a < spec.items.size(); ++a) {
      for (size_t b = a + 1; b < spec.items.size(); ++b) {
        const TemplateItem ia = Shown(spec.items[a]), ib = Shown(spec.items[b]);
        if (IsGroupBox(ia) && Inside(ib, ia)) continue;
        EXPECT_FALSE(Overlap(ia, ib)) << "ids " << ia.id << " and " << ib.id;
      }
    }
  }
}

TEST_P(EveryDialogLaidOut, ButtonsSitInOneRowAtTheBottomWithTheDefaultButtonMarked) {
  for (const auto& dialog : EveryDialog(*GetParam())) {
    SCOPED_TRACE(dialog->caption());
    const DialogSpec spec = LayOut(*dialog);
    int row = -1, right = 0, lowest_other = 0, defaults = 0;
    for (const TemplateItem& item : spec.items) {
      const Control* c = dialog->control(item.id);
      if (!c || c->kind != ControlKind::kButton) {
        lowest_other = std::max(lowest_other, item.y + Shown(item).cy);
        continue;
      }
      if (row < 0) row = item.y;
      EXPECT_EQ(item.y, row);
      right = std::max(right, item.x + item.cx);
      if ((item.style & 0xF) == BS_DEFPUSHBUTTON) {
        ++defaults;
        EXPECT_EQ(item.id, dialog->default_button());
      }
      EXPECT_GE(item.cx, TextWidth(c->label));
    }
    ASSERT_GE(row, 0);
    EXPECT_GT(row, lowest_other - 1);
    EXPECT_GE(right, spec.cx - 8);  // right-aligned within the margin
    EXPECT_LE(defaults, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(BothEditions, EveryDialogLaidOut,
                         ::testing::Values(&kProgramEdition, &kLibraryEdition));

TEST(DialogLayout, TextsGetRoomForEveryCharacterWideOnesDouble) {
  // Five wide characters take the room of ten lower-case letters.
  EXPECT_GE(TextWidth("再一次排墨"), 2 * TextWidth("abcde") - 2);
  DisMessageDialog dis(kLibraryEdition);
  dis.Load();
  const DialogSpec spec = LayOut(dis);
  EXPECT_EQ(spec.caption, L"DisMessage");
  // The two lines of the library's question, one under the other, each as wide as it needs.
  ASSERT_GE(spec.items.size(), 2u);
  EXPECT_EQ(spec.items[0].text, L"請等馬達靜止後再選擇");
  EXPECT_EQ(spec.items[1].text, L"再一次排墨?");
  EXPECT_GT(spec.items[1].y, spec.items[0].y);
  EXPECT_GE(spec.items[0].cx, TextWidth("請等馬達靜止後再選擇"));
}

TEST(DialogLayout, TheTwoColumnsOfTheEepromDialogStandSideBySide) {
  EepromDataDialog eeprom(kProgramEdition);
  std::array<uint8_t, kRomImageSize> image{};
  eeprom.LoadFrom(image);
  eeprom.Load();
  const DialogSpec spec = LayOut(eeprom);
  int first_right = 0, second_left = spec.cx;
  for (size_t i = 0; i < eeprom.controls().size(); ++i) {
    const Control& c = eeprom.controls()[i];
    if (c.kind == ControlKind::kButton) continue;
    for (const TemplateItem& item : spec.items) {
      if (item.id != ItemId(c, i) && item.id != LabelId(i)) continue;
      if (c.column == 0) first_right = std::max(first_right, item.x + item.cx);
      if (c.column == 1) second_left = std::min(second_left, item.x);
    }
  }
  EXPECT_LT(first_right, second_left);
}

TEST(DialogTemplate, ItemsStartOnDwordBoundariesAndTheHeaderCountsThem) {
  DialogSpec spec;
  spec.caption = L"Odd";  // three characters and a zero: the header ends off a DWORD boundary
  spec.items = {{ItemClass::kStatic, {}, 0, 0, 0, 10, 10, 7, L"a"},
                {ItemClass::kNamed, L"msctls_progress32", 0, 0, 12, 10, 10, 8, L""}};
  const std::vector<uint16_t> words = BuildTemplate(spec);
  EXPECT_EQ(words[4], 2u);  // cdit
  // Header: style, exstyle (4 words), cdit, x, y, cx, cy, menu, class, caption, points, font.
  const size_t header = 4 + 1 + 4 + 2 + 4 + 1 + 13;
  EXPECT_EQ(header % 2, 1u);
  const size_t first = header + 1;  // padded
  EXPECT_EQ(words[first + 8], 7u);  // the first item's id
  EXPECT_EQ(words[first + 9], 0xFFFFu);
  EXPECT_EQ(words[first + 10], 0x0082u);  // Static
  // id, class (2), "a" (2), no creation data (1): 1 + 2 + 2 + 1 = 6 words after the 8 of
  // style..cy, so the next item starts on an even word again.
  const size_t second = first + 8 + 6;
  EXPECT_EQ(second % 2, 0u);
  EXPECT_EQ(words[second + 8], 8u);
  EXPECT_EQ(words[second + 9], uint16_t(L'm'));
}

TEST(FilterList, PairsEndInZerosAndTheListInAnother) {
  using namespace std::string_literals;
  EXPECT_EQ(FilterList("Bin Files (*.bin)|*.bin|All Files (*.*)|*.*||"),
            L"Bin Files (*.bin)\0*.bin\0All Files (*.*)\0*.*\0\0"s);
  // Without the closing bars, and a pattern without a description.
  EXPECT_EQ(FilterList("ROM Data|*.rom;*.bin"), L"ROM Data\0*.rom;*.bin\0\0"s);
  EXPECT_EQ(FilterList("|*.prn||"), L"*.prn\0*.prn\0\0"s);
  // Nothing usable: every file.
  EXPECT_EQ(FilterList(""), L"All Files (*.*)\0*.*\0\0"s);
  EXPECT_EQ(FilterList("||"), L"All Files (*.*)\0*.*\0\0"s);
  EXPECT_EQ(FilterList("韌體|*.bin||"), L"韌體\0*.bin\0\0"s);
}

}  // namespace
}  // namespace tarvo::win32ui
