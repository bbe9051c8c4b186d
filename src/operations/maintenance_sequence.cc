#include "operations/maintenance_sequence.h"

#include "protocol/commands.h"

namespace tarvo {
namespace {

// A placeholder of a discharge step, filled from its copy. False when there is no copy to fill
// it from.
bool Resolve(Step& step, const DisChargeCopy* copy) {
  if (step.kind == StepKind::kMotor && step.motor.steps >= kStepsS) {
    if (!copy) return false;
    step.motor.steps = step.motor.steps == kStepsS ? copy->s : copy->n;
  }
  if (step.kind == StepKind::kWait && step.ms == kWaitW) {
    if (!copy) return false;
    step.ms = copy->w;
  }
  if (step.kind == StepKind::kPrompt && step.jig != JigPrompt::kNone) {
    if (!copy) return false;
    std::string_view text =
        step.jig == JigPrompt::kFirst ? copy->first_jig_prompt : copy->second_jig_prompt;
    step.prompt = {text, text};
  }
  return true;
}

}  // namespace

bool StepRuns(const Step& step, const Edition& edition, const DisChargeCopy* copy) {
  switch (step.only) {
    case StepOnly::kAlways:
      return true;
    case StepOnly::kProgram:
      return edition.is_program();
    case StepOnly::kLibrary:
      return edition.is_library();
    case StepOnly::kJigLock:
      return copy && copy->jig_lock;
    case StepOnly::kHomeBeforeEnd:
      return copy && copy->home_before_end;
  }
  return false;
}

namespace {

Outcome RunSteps(const Context& ctx, PrinterLink& link, const Sequence& sequence,
                 const EditionText& wait_label, const DisChargeCopy* copy, bool* job_open) {
  Outcome outcome;
  for (Step step : sequence.steps) {
    if (!StepRuns(step, ctx.edition, copy) || !Resolve(step, copy)) continue;
    switch (step.kind) {
      case StepKind::kMotor:
        outcome.Note(SendMotorCommand(ctx, link, step.motor));
        break;
      case StepKind::kJobMark:
        if (job_open) *job_open = step.mark.phase == 0;
        outcome.Note(SendJobMark(ctx, link, step.mark));
        break;
      case StepKind::kWait:
        ctx.Wait(step.ms, wait_label);
        break;
      case StepKind::kPrompt:
        ctx.Info(ctx.Text(step.prompt), kPromptCaption);
        break;
      case StepKind::kGroup:
        if (step.group) {
          outcome.Note(RunSteps(ctx, link, *step.group, wait_label, copy, job_open));
        }
        break;
    }
  }
  return outcome;
}

}  // namespace

Outcome RunSequence(const Context& ctx, PrinterLink& link, const Sequence& sequence,
                    const DisChargeCopy* copy, bool* job_open) {
  return RunSteps(ctx, link, sequence, sequence.wait_label, copy, job_open);
}

}  // namespace tarvo
