#include "step_runner.h"

#include <optional>

#include "command_inputs.h"
#include "name_file.h"
#include "process_threads.h"
#include "provider_lifetime.h"
#include "xfs_session.h"

namespace xfsmgr {

namespace {

constexpr HSERVICE kServiceHandle = 1;
// Completions are awaited this much longer than the request's own time-out,
// which the device service answers with WFS_ERR_TIMEOUT.
constexpr int kCompletionGraceMs = 5000;
constexpr int kUnloadPatienceMs = 5000;

PendingRequest startRequest(XfsSession& session, const Options& options, const Step& step) {
  DWORD timeOut = static_cast<DWORD>(options.timeoutMs);
  switch (step.kind) {
    case StepKind::Open:
      return session.StartOpen(options.service, timeOut);
    case StepKind::Close:
      return session.StartClose();
    case StepKind::Lock:
      return session.StartLock(timeOut);
    case StepKind::Unlock:
      return session.StartUnlock();
    case StepKind::Register:
      return session.StartRegister(static_cast<DWORD>(step.numbers[0]));
    case StepKind::Deregister:
      return session.StartDeregister(static_cast<DWORD>(step.numbers[0]));
    case StepKind::GetInfo:
      return session.StartGetInfo(static_cast<DWORD>(step.numbers[0]), nullptr);
    default: {
      DWORD command = static_cast<DWORD>(step.numbers[0]);
      std::vector<unsigned long> inputs(step.numbers.begin() + 1, step.numbers.end());
      return session.StartExecute(command,
                                  TakesWords(command) ? BuildExecuteWords(command, step.words)
                                                      : BuildExecuteInput(command, inputs),
                                  timeOut);
    }
  }
}

// One step; `pending` carries a request left pending for the cancel after it.
StepOutcome runStep(XfsSession& session, const Options& options, size_t index,
                    std::optional<PendingRequest>& pending, Console& console) {
  const Step& step = options.steps[index];
  if (step.kind == StepKind::Execute && !KnowsExecuteInput(static_cast<DWORD>(step.numbers[0]))) {
    console.Print("note: xfsmgr does not know the input of command " +
                  std::to_string(step.numbers[0]) + "; it is sent with a NULL input");
  }
  switch (step.kind) {
    case StepKind::Cancel: {
      StepOutcome outcome = session.Cancel(*pending);
      pending.reset();
      return outcome;
    }
    case StepKind::WaitEvent:
      return session.WaitEvent(static_cast<int>(step.numbers[0]));
    case StepKind::Unload: {
      StepOutcome outcome;
      outcome.hResult = session.Unload(kUnloadPatienceMs);
      outcome.completed = outcome.hResult == WFS_SUCCESS;
      if (!outcome.completed) outcome.failure = "WFPUnloadService did not succeed";
      return outcome;
    }
    default: {
      PendingRequest request = startRequest(session, options, step);
      bool cancelNext = index + 1 < options.steps.size() &&
                        options.steps[index + 1].kind == StepKind::Cancel;
      if (cancelNext && request.callResult == WFS_SUCCESS) {
        pending = request;
        StepOutcome left;
        left.completed = true;
        return left;
      }
      return session.Finish(request);
    }
  }
}

}  // namespace

int RunSteps(const Options& options, Console& console) {
  int threadsBefore = CountThreads();
  console.Print(UseNameFile());
  SpiLibrary spi;
  std::string error;
  if (!LoadProvider(spi, options.library, console, &error)) {
    console.Print("xfsmgr: " + error);
    return 1;
  }
  int status = 0;
  {
    XfsSession session(spi, console, kServiceHandle, options.timeoutMs + kCompletionGraceMs,
                       options.showCardData);
    std::optional<PendingRequest> pending;
    for (size_t i = 0; i < options.steps.size(); ++i) {
      console.Print("== step " + std::to_string(i + 1) + ": " + options.steps[i].text);
      StepOutcome outcome = runStep(session, options, i, pending, console);
      if (!outcome.completed) {
        console.Print("xfsmgr: step " + std::to_string(i + 1) + " (" + options.steps[i].text +
                      ") failed: " + outcome.failure);
        status = 1;
        break;
      }
    }
    session.CloseIfOpen();
  }
  UnloadProvider(spi, threadsBefore, console);
  return status;
}

}  // namespace xfsmgr
