// The scenarios of the task dialog's Windows test, each shown by the
// platform's dialog and by the emulation and checked on both.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "tests/wine/taskdialog/harness.h"

namespace mirdane::taskdialog::wine_test {

enum class Path { kNative, kEmulated };
inline const char* PathName(Path path) { return path == Path::kNative ? "native" : "emulated"; }

// What one run of a scenario left behind.
struct Outcome {
  ::HRESULT result = E_FAIL;
  int button = 0;
  int radio = 0;
  bool verification = false;
  std::string events;
  bool timedOut = false;
  std::map<std::string, long long> seen;  // measurements the steps took
};

// A measurement of `outcome`, or -1 when the step that takes it never ran.
inline long long Seen(const Outcome& outcome, const std::string& key) {
  const auto found = outcome.seen.find(key);
  return found == outcome.seen.end() ? -1 : found->second;
}

// Runs `configure`'s dialog on `path`; configure sets the dialog up and adds its steps.
using Configure = std::function<void(RecordingDialog&, Outcome&, Path)>;
Outcome RunScenario(const std::string& name, Path path, const Configure& configure,
                    HWND parent = nullptr);

// Steps that wait and that act.
Step Wait(int ticks);
Step Do(std::function<void(HWND)> action);
bool IsOpen(HWND dialog);

// Every scenario; each reports its own checks.
void RequiredFieldScenario();
void RequiredFieldPromptScenario();
void CancellationScenarios();
void RadioAndVerificationScenario();
void KeepOpenScenario();
void ExpanderScenarios();
void TimerScenario();
void ProgressAndTextScenario();
void HyperlinkScenario();
void OwnerAndHelpScenario();
void CommandLinkImageScenario();
void ThrowingHandlerScenario();

}  // namespace mirdane::taskdialog::wine_test
