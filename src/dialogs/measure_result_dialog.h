#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dialogs/dialog_model.h"

namespace tarvo {

// The dot weight measurement (202 "MeasureResult", its caption replaced by the kind's): the
// cartridge weighed before and after the dot file is printed, turned into nanograms per dot and
// judged against fixed limits. The dialog stays open across "Measure" and "Reset"; "EXIT" (OK)
// and Esc close it, and "Print File" hands it to the page for the print (print_requested).
//
// "Measure" and "Reset" first copy the boxes into the members in the order test result, average,
// maximum, minimum, after weight, before weight. A box that holds no number is refused with
// "Please enter a number." and ends the copying there, so it and the boxes after it keep their
// previous values; the button's action still runs on those values and every box is shown again
// from the members. "EXIT" copies the same way and stays open on a box that holds no number.
class MeasureResultDialog : public DialogModel {
 public:
  static constexpr int kBeforeId = 1284;
  static constexpr int kAfterId = 1285;
  static constexpr int kMaximumId = 1286;
  static constexpr int kMinimumId = 1288;
  static constexpr int kAverageId = 1290;
  static constexpr int kResultId = 1289;
  static constexpr int kPrintFileId = 1287;
  static constexpr int kMeasureId = 1291;
  static constexpr int kResetId = 1027;
  static constexpr int kExitId = kOkId;

  static constexpr double kMaximum = 52.9;  // ng per dot
  static constexpr double kMinimum = 40.7;

  MeasureResultDialog(std::string caption, std::string dot_file, double dots);

  int id() const override { return 202; }
  std::string caption() const override { return caption_text; }
  void Load() override;
  PressOutcome Press(int button_id) override;
  int default_button() const override { return kExitId; }

  // Numbers as the boxes show them: the general format with up to 15 significant digits.
  static std::string Format(double value);
  // (before - after) grams over `dots` dots, in nanograms per dot.
  static double AverageOf(double before, double after, double dots);
  // "PASS" when minimum <= average <= maximum, both limits included; else "FAIL".
  static std::string Judge(double average, double minimum, double maximum);

  // The members behind the boxes.
  std::string caption_text;
  std::string dot_file;
  double dots = 0;
  double before_weight = 0;
  double after_weight = 0;
  double maximum = kMaximum;
  double minimum = kMinimum;
  double average = 0;
  std::string test_result;

  // Set by "Print File". The dialog model does no printer work: the press ends this showing, the
  // page prints the dot file on the device thread, clears the flag and shows the dialog again,
  // with the boxes as they were left.
  bool print_requested = false;

  // Each "Measure" pressed, in order: the values it judged and the verdict. The dialog only
  // keeps them; the page takes them (TakeMeasured) on its own thread once a showing ends.
  struct Measured {
    double before_weight = 0;
    double after_weight = 0;
    double average = 0;
    double minimum = 0;
    double maximum = 0;
    std::string test_result;
  };
  std::vector<Measured> TakeMeasured() { return std::exchange(measured_, {}); }

 private:
  // Boxes -> members in the copying order; the refusal of the first box that holds no number.
  std::optional<Refusal> CopyBoxes();

  bool keep_boxes_ = false;  // the next Load() shows the boxes as they are
  std::vector<Measured> measured_;
};

}  // namespace tarvo
