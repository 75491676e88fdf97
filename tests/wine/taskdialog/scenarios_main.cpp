// The task dialog under Wine: each scenario runs on the platform's dialog
// and on the emulation, driven by messages and clicks from a timer, and
// checked on what the windows and the notifications show.
#include <string>

#include "tests/wine/taskdialog/scenarios.h"

namespace mirdane::taskdialog::wine_test {

Step Wait(int ticks) {
  auto left = std::make_shared<int>(ticks);
  return [left](HWND) { return --*left <= 0; };
}

Step Do(std::function<void(HWND)> action) {
  return [action](HWND dialog) {
    action(dialog);
    return true;
  };
}

bool IsOpen(HWND dialog) { return IsWindow(dialog) && IsWindowVisible(dialog); }

Outcome RunScenario(const std::string& name, Path path, const Configure& configure, HWND parent) {
  Outcome outcome;
  RecordingDialog dialog(parent);
  configure(dialog, outcome, path);
  outcome.result = path == Path::kNative ? dialog.ShowNative() : dialog.ShowEmulated();
  outcome.button = dialog.GetSelectedButton();
  outcome.radio = dialog.GetSelectedRadioButton();
  outcome.verification = dialog.GetVerificationChecked();
  outcome.events = JoinEvents(dialog.events);
  outcome.timedOut = dialog.timedOut;
  const std::string label = name + "/" + PathName(path);
  Report::Get().Line("events " + label + ": " + outcome.events);
  Report& report = Report::Get();
  report.Check(label, "the dialog ran", outcome.result == S_OK,
               "HRESULT " + std::to_string(outcome.result));
  report.Check(label, "every step ran before it closed",
               !outcome.timedOut && (dialog.stepsLeft() == 0 || dialog.mayCloseEarly),
               std::to_string(dialog.stepsLeft()) + " steps left" +
                   (outcome.timedOut ? ", timed out" : ""));
  return outcome;
}

}  // namespace mirdane::taskdialog::wine_test

int wmain(int argc, wchar_t** argv) {
  using namespace mirdane::taskdialog::wine_test;
  if (argc < 2) {
    std::printf("usage: taskdialog_wine_test OUTPUT_DIRECTORY [SCENARIO]\n");
    return 2;
  }
  Report::Get().Open(argv[1]);
  // The pointer stays off the dialogs, so that no link is hot by chance.
  SetCursorPos(0, 0);
  const std::wstring only = argc > 2 ? argv[2] : L"";
  const struct {
    const wchar_t* name;
    void (*run)();
  } scenarios[] = {
      {L"required", RequiredFieldScenario},
      {L"prompt", RequiredFieldPromptScenario},
      {L"cancel", CancellationScenarios},
      {L"radios", RadioAndVerificationScenario},
      {L"keepopen", KeepOpenScenario},
      {L"expander", ExpanderScenarios},
      {L"timer", TimerScenario},
      {L"progress", ProgressAndTextScenario},
      {L"hyperlink", HyperlinkScenario},
      {L"owner", OwnerAndHelpScenario},
      {L"links", CommandLinkImageScenario},
      {L"throwing", ThrowingHandlerScenario},
  };
  for (const auto& scenario : scenarios) {
    if (only.empty() || only == scenario.name) scenario.run();
  }
  Report::Get().Summary();
  return 0;
}
