// The one way release messages reach the host: its error log (LogError) and,
// for errors, the Release module's status display (SendMessage).
#pragma once

#include <initializer_list>
#include <memory>
#include <string_view>

#include "base/format.h"
#include "host/host_objects.h"
#include "release/release_messages.h"

namespace mirdane {

// The longest message handed to the host, in UTF-16 code units.
inline constexpr std::size_t kMaxReportLength = 1023;

// The process-wide LogTarget: the ReleaseData most recently assigned to any
// release script, until a CloseScript clears it.
void SetLogTarget(std::shared_ptr<kfx::ReleaseData> target);
void ClearLogTarget();

// While it lives, this thread's reports go to `target`: the release data of
// the script whose call is running here, whatever other scripts do meanwhile.
class ScopedReportTarget {
 public:
  explicit ScopedReportTarget(kfx::ReleaseData* target);
  ~ScopedReportTarget();
  ScopedReportTarget(const ScopedReportTarget&) = delete;
  ScopedReportTarget& operator=(const ScopedReportTarget&) = delete;

 private:
  kfx::ReleaseData* previous_;
};

// Formats the message (cut to kMaxReportLength without splitting a surrogate
// pair) and logs it; errors are also sent as document errors. Nothing happens
// without a target. Never fails towards its caller.
void ReportToHost(const char16_t* codeModule, int line, int severity, std::u16string_view format,
                  std::initializer_list<FormatArg> args);

// ReportToHost with one of the release's messages.
inline void Report(const ReleaseMessage& message, std::initializer_list<FormatArg> args = {}) {
  ReportToHost(kReleaseCodeModule, message.line, message.severity, message.format, args);
}

}  // namespace mirdane
