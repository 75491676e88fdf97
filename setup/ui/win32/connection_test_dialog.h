// The General page's "Test Connection": the test runs on a worker thread of
// its own while a task dialog with a marquee progress bar waits for it; the
// result follows in a second task dialog. Cancel abandons the test.
#pragma once

#include <windows.h>

#include "bridge/connection_test.h"

namespace mirdane::ui {

// The titles of the two dialogs, which tests look for.
inline constexpr wchar_t kTestingConnectionTitle[] = L"Testing the Connection";
inline constexpr wchar_t kConnectionTestTitle[] = L"Test Connection";

// Runs the test of `settings` for the page `owner` belongs to; returns when
// the result has been read, or at once when Cancel abandoned the test.
void RunConnectionTest(HWND owner, const bridge::ConnectionTestSettings& settings);

}  // namespace mirdane::ui
