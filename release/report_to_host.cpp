#include "release/report_to_host.h"

#include <mutex>

#include "base/text.h"

namespace mirdane {
namespace {

std::mutex log_target_mutex;
std::shared_ptr<kfx::ReleaseData> log_target;  // guarded by log_target_mutex

thread_local kfx::ReleaseData* thread_target = nullptr;

}  // namespace

void SetLogTarget(std::shared_ptr<kfx::ReleaseData> target) {
  std::lock_guard lock(log_target_mutex);
  log_target = std::move(target);
}

void ClearLogTarget() { SetLogTarget(nullptr); }

ScopedReportTarget::ScopedReportTarget(kfx::ReleaseData* target) : previous_(thread_target) {
  thread_target = target;
}

ScopedReportTarget::~ScopedReportTarget() { thread_target = previous_; }

void ReportToHost(const char16_t* codeModule, int line, int severity, std::u16string_view format,
                  std::initializer_list<FormatArg> args) {
  try {
    std::shared_ptr<kfx::ReleaseData> held;
    kfx::ReleaseData* target = thread_target;
    if (!target) {
      std::lock_guard lock(log_target_mutex);
      held = log_target;
      target = held.get();
    }
    if (!target) return;
    const std::u16string formatted = FormatText(format, args);
    const std::u16string message(PrefixWithoutSplitPair(formatted, kMaxReportLength));
    target->LogError(severity, 0, 0, message, codeModule, line);  // result not consulted
    if (severity > 0) {
      target->SendMessage(message, severity, kfx::KFX_REL_DOC_ERROR);  // result not consulted
    }
  } catch (...) {
    // Reporting must never fail the step that reports.
  }
}

}  // namespace mirdane
