#pragma once

#include <cstdint>
#include <string>

#include "dialogs/dialog_model.h"

namespace tarvo {

// The two editors of the printer option settings that every new head receives. Each shows the
// stored values, a pair of radios "On" / "Off" (On = the values are applied to a new head) and
// the values' boxes; the confirming button stores every value of its group, the other nothing.

// "SetInitOffset" (211): the initial Bi-d and TOF offsets as signed decimal integers, without a
// range. The five boxes are enabled only while "On" is chosen; "APPLY" (OK) reads them also when
// they are disabled, so their values are stored unchanged.
class SetInitOffsetDialog : public DialogModel {
 public:
  static constexpr int kRadioId = 1294;  // radios "On" 1294, "Off" 1295
  static constexpr int kMs1Id = 1259;
  static constexpr int kMs2Id = 1260;
  static constexpr int kVsdId = 1262;
  static constexpr int kEcnId = 1263;
  static constexpr int kTofId = 1094;

  int id() const override { return 211; }
  std::string caption() const override { return "SetInitOffset"; }
  void Load() override;
  void Changed(int control_id) override;
  PressOutcome Press(int button_id) override;

  // "disable": 0 shows "On"; any other value shows "Off" (a new head then gets no offsets), and
  // an accepted "APPLY" stores 0 or 1.
  int32_t disable = 0;
  int32_t ms1 = 0;
  int32_t ms2 = 0;
  int32_t vsd = 0;
  int32_t ecn = 0;
  int32_t tof = 0;
};

// "InkSystemInit" (214): the ink system values as unsigned bytes, each checked to lie in 0 to 255
// when "OK" is pressed. "CL2 KK" opens disabled; "On" enables the three boxes, "Off" disables
// them.
class InkSystemInitDialog : public DialogModel {
 public:
  static constexpr int kOnId = 1305;
  static constexpr int kOffId = 1294;
  static constexpr int kCl2kkId = 1306;
  static constexpr int kUnplugId = 1185;
  static constexpr int kTclId = 1307;

  int id() const override { return 214; }
  std::string caption() const override { return "InkSystemInit"; }
  void Load() override;
  void Changed(int control_id) override;
  PressOutcome Press(int button_id) override;

  // "disableink": 0 shows "On", any other value "Off"; an accepted "OK" stores 0 or 1.
  uint8_t disable_ink = 0;
  uint8_t cl2kk = 2;
  uint8_t unplug_a = 24;
  uint8_t tcl_cond = 3;
};

}  // namespace tarvo
