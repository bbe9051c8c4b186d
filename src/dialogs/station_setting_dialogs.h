#pragma once

#include <string>

#include "dialogs/dialog_model.h"

namespace tarvo {

// The settings of the two test stations. Each shows the current setting (read-only) above the
// new one: the customer as a row of the destination table, and the station's names. A current
// destination index outside the table shows no customer and leaves the list without a
// selection; Save is then refused until a row is chosen.

// "Station1" (185): the customer and the Belt Name (3) and PC Name (2) that begin every USB
// serial number of Station 1. Save checks both names in capitals, stopping at the first failure.
class Station1Dialog : public DialogModel {
 public:
  static constexpr int kCurrentCustomerId = 1182;
  static constexpr int kCurrentBeltId = 1183;
  static constexpr int kCurrentPcId = 1184;
  static constexpr int kCustomerId = 1272;
  static constexpr int kBeltId = 1185;
  static constexpr int kPcId = 1186;

  int id() const override { return 185; }
  std::string caption() const override { return "Station1"; }
  void Load() override;
  PressOutcome Press(int button_id) override;

  // The current setting, as read from the station's file.
  int current_destination = 0;
  std::string current_belt;
  std::string current_pc;
  // The new setting: preset from the current one, changed by an accepted Save.
  int destination = -1;  // row of the destination table, -1 none
  std::string belt_name;
  std::string pc_name;

  // Presets the new setting from the current one.
  void PresetFromCurrent();
};

// "Station2" (186): the customer and the Jig No. (2 alphanumerics) that Station 2 prints on its
// charts, or "IC", which stores "CT" and disables the Jig No. box.
class Station2Dialog : public DialogModel {
 public:
  static constexpr int kCurrentCustomerId = 1182;
  static constexpr int kCurrentValueId = 1183;
  static constexpr int kCustomerId = 1272;
  static constexpr int kJigRadioId = 1136;  // radios "Jig No" (1136) and "IC" (1137)
  static constexpr int kJigNoId = 1185;

  int id() const override { return 186; }
  std::string caption() const override { return "Station2"; }
  void Load() override;
  void Changed(int control_id) override;
  PressOutcome Press(int button_id) override;
  int focus_after_change() const override { return focus_id; }

  int current_destination = 0;
  std::string current_value;  // Jig No. or "CT"
  int destination = -1;
  bool ic = false;     // radio "IC" chosen
  std::string jig_no;  // the Jig No. box
  // After an accepted Save: what to store, "CT" or the Jig No. in capitals.
  std::string value;
  // The box that has the focus after the last change (a view moves the focus there, with its
  // text selected); 0 for none.
  int focus_id = 0;

  // Presets the new setting from the current one: "CT" chooses "IC", anything else "Jig No"
  // with the value in the box.
  void PresetFromCurrent();
};

}  // namespace tarvo
