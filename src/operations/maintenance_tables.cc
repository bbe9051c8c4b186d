#include "operations/maintenance_tables.h"

#include <array>
#include <string_view>

namespace tarvo::sequences {
namespace {

// The discharge's own values, filled in from the copy being run.
constexpr uint32_t S = kStepsS;
constexpr uint32_t N = kStepsN;
constexpr int64_t W = kWaitW;

constexpr Step JigLockOnly(Step s) {
  return Only(StepOnly::kJigLock, s);
}
constexpr Step HomeBeforeEndOnly(Step s) {
  return Only(StepOnly::kHomeBeforeEnd, s);
}

constexpr EditionText kWaitForMotor = {"", "等馬達靜止,再按ok!!"};

// clang-format off
constexpr Step kGroupASteps[] = {
    M(0,1,6,2,6,1), M(0,0,6,4,6,1), M(1,0,3,200,6,1), M(0,1,6,2,6,1),
};

constexpr Step kGroupBSteps[] = {
    M(0,1,4,38,3,1), Wait(500), M(0,1,6,54,4,1),
};

}  // namespace

constexpr Sequence kGroupA{"group A", kGroupASteps};
constexpr Sequence kGroupB{"group B", kGroupBSteps};

namespace {

constexpr Step kLubricationSteps[] = {
    J(0,0),
    Run(kGroupA),
    M(0,1,7,62,5,1),
    M(0,1,3,150,6,1), M(0,0,3,50,6,1),
    M(0,1,3,150,6,1), M(0,0,3,50,6,1),
    M(0,1,3,150,6,1), M(0,0,3,50,6,1),
    M(0,1,3,168,6,1),
    M(0,0,3,468,6,1),
    M(0,1,3,468,6,1),
    M(0,0,3,468,6,1),
    M(0,0,0,0,6,0),
    M(0,0,7,5,6,1),
    M(1,1,3,200,6,1),
    M(0,1,7,5,6,1),
    J(1,0),
    Wait(12000),
};

constexpr Step kInkChargeSteps[] = {
    // 1
    J(0,0),
    LibraryOnly(M(0,0,0,0,0,4)), LibraryOnly(M(0,0,0,0,0,3)),
    // 2
    Run(kGroupA), M(0,0,6,7,1,1), M(1,1,8,31000,6,1), Wait(6000),
    // 3
    M(1,1,8,12400,6,1), M(1,1,8,12400,6,1), M(1,1,8,15540,6,1), M(1,1,8,15540,6,1), Wait(6000),
    // 4
    ProgramOnly(M(0,0,6,7,1,1)),
    // 5
    M(1,0,9,60,6,1), M(0,1,7,25,2,1), M(1,1,7,4000,6,1), M(1,0,9,60,6,1),
    // 6
    LibraryOnly(Prompt(kWaitForMotor)),
    // 7
    Run(kGroupB),
    // 8
    M(1,0,9,60,6,1), M(0,0,5,95,0,1), M(0,0,6,22,1,1),
    M(1,1,7,15540,6,1), M(1,1,7,15540,6,1), Wait(3000),
    M(1,1,7,15540,6,1), M(1,1,7,15540,6,1), Wait(3000),
    M(1,1,7,7760,6,1), M(1,1,7,7760,6,1), M(1,1,9,3080,6,1), Wait(10000),
    // 9
    M(1,0,9,60,6,1), M(0,1,7,25,2,1), M(1,1,7,3500,6,1), M(1,0,9,60,6,1),
    // 10
    LibraryOnly(Prompt(kWaitForMotor)),
    // 11
    Run(kGroupB), M(1,1,7,9000,6,1), M(1,0,9,60,6,1), M(1,0,9,2000,6,1), M(0,0,5,95,0,1),
    Wait(10000),
    // 12
    LibraryOnly(M(0,0,6,2,6,1)), LibraryOnly(M(0,1,6,2,6,1)),
    // 13
    M(0,0,0,0,6,2), M(0,0,0,0,6,0), Run(kGroupA), J(1,0),
    ProgramOnly(Wait(66000)), LibraryOnly(Wait(22000)),
};

// Steps 1 to 3 of the discharge.
constexpr Step kDisChargeStartSteps[] = {
    // 1
    LibraryOnly(J(0,1)), LibraryOnly(J(1,0)), LibraryOnly(M(0,0,0,0,6,0)),
    // 2
    J(0,0), Run(kGroupA), M(0,1,7,S,6,1),
    // 3
    Prompt(JigPrompt::kFirst), JigLockOnly(M(0,0,7,250,6,1)),
};

// Step 4, one discharge cycle.
constexpr Step kDisChargeCycleSteps[] = {
    M(0,0,0,0,6,0), Run(kGroupA), M(0,1,6,15,0,1), M(1,1,8,4200,6,1), M(1,0,9,60,6,1),
    M(0,0,6,22,1,1),
    M(1,1,7,150000,6,1), M(1,1,7,N,6,1), M(1,1,7,150000,6,1), M(1,1,7,N,6,1),
    M(1,0,9,60,6,1), Wait(15000),
    M(1,0,9,60,6,1), M(0,1,7,25,2,1), M(1,0,9,60,6,1), M(1,1,8,7000,6,1), M(1,0,9,60,6,1),
    Run(kGroupB), M(1,1,7,9800,6,1), M(1,0,9,60,6,1), J(1,0), Wait(W),
};

// Step 5, "Yes": before the cycle is repeated.
constexpr Step kDisChargeAgainSteps[] = {
    J(0,0), M(0,0,0,0,0,4),
};

// Steps 6 to 8.
constexpr Step kDisChargeEndSteps[] = {
    // 6
    J(0,0), M(0,0,0,0,0,4), M(0,0,0,0,6,0), M(0,1,7,S,6,1), Wait(8000),
    // 7
    Prompt(JigPrompt::kSecond), JigLockOnly(M(0,0,7,250,6,1)),
    // 8
    M(0,0,0,0,6,0), M(0,0,6,7,1,1), M(0,1,7,25,2,1), M(1,0,9,60,6,1), M(1,1,8,6800,6,1),
    M(1,0,9,60,6,1), Run(kGroupB), M(1,0,9,660,6,1), M(0,0,0,0,6,0), M(0,1,6,2,6,1),
    M(0,0,6,4,6,1), M(1,0,3,1000,6,1), M(0,1,6,2,6,1), M(0,1,7,210,6,1),
    HomeBeforeEndOnly(M(0,0,0,0,6,0)),
    J(1,0), Wait(28000),
};
// clang-format on

constexpr std::string_view kProgramClosing[] = {"Plug out AC Cable !!", "Completed !!"};
constexpr std::string_view kLibraryClosing[] = {"拔下電源線!!", "排墨完畢!!"};
constexpr std::string_view kLibraryNoPowerOffClosing[] = {"排墨完成!!"};

constexpr DisChargeCopy kProgramDisCharge{
    .name = "InkDisCharge",
    .s = 57,
    .first_jig_prompt = "Put on the JIG and Continue !!",
    .jig_lock = false,
    .n = 14000,
    .w = 78000,
    .second_jig_prompt = "Move away the JIG and Continue !!",
    .home_before_end = false,
    .power_off = true,
    .closing_prompts = kProgramClosing,
    .finishing = Finishing::kClearCounters,
};
constexpr DisChargeCopy kLibraryDisCharge{
    .name = "InkDisCharge",
    .s = 57,
    .first_jig_prompt = " 更換排墨治具 !!",
    .jig_lock = false,
    .n = 14000,
    .w = 115000,
    .second_jig_prompt = "取出排墨治具!!",
    .home_before_end = false,
    .power_off = true,
    .closing_prompts = kLibraryClosing,
    .finishing = Finishing::kClearCountersAnd122,
};
constexpr DisChargeCopy kProgramDisChargeNoPowerOff{
    .name = "InkDisChargeNoPowerOff",
    .s = 371,
    .first_jig_prompt = "Put on the JIG and Continue !!",
    .jig_lock = true,
    .n = 15500,
    .w = 78000,
    .second_jig_prompt = "Move away the JIG and Continue !!",
    .home_before_end = false,
    .power_off = false,
    .closing_prompts = kProgramClosing,
    .finishing = Finishing::kClearCounters,
};
constexpr DisChargeCopy kLibraryDisChargeNoPowerOff{
    .name = "InkDisChargeNoPowerOff",
    .s = 372,
    .first_jig_prompt = "更換/放入排墨治具!!",
    .jig_lock = true,
    .n = 15500,
    .w = 115000,
    .second_jig_prompt = "取出排墨治具!!",
    .home_before_end = true,
    .power_off = false,
    .closing_prompts = kLibraryNoPowerOffClosing,
    .finishing = Finishing::kFlagsOnCurrentImage,
};

}  // namespace

constexpr Sequence kLubrication{"Lubrication", kLubricationSteps, wait_labels::kGreasing};
constexpr Sequence kInkCharge{"InkCharge", kInkChargeSteps, wait_labels::kChargingInk};
constexpr Sequence kDisChargeStart{"discharge start", kDisChargeStartSteps,
                                   wait_labels::kDischargingInk};
constexpr Sequence kDisChargeCycle{"discharge cycle", kDisChargeCycleSteps,
                                   wait_labels::kDischargingInk};
constexpr Sequence kDisChargeAgain{"discharge again", kDisChargeAgainSteps,
                                   wait_labels::kDischargingInk};
constexpr Sequence kDisChargeEnd{"discharge end", kDisChargeEndSteps, wait_labels::kDischargingInk};

const DisChargeCopy& DisChargeCopyFor(const Edition& edition, bool power_off) {
  if (power_off) return edition.Pick(kProgramDisCharge, kLibraryDisCharge);
  return edition.Pick(kProgramDisChargeNoPowerOff, kLibraryDisChargeNoPowerOff);
}

}  // namespace tarvo::sequences
