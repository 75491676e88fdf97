// mirdane.exe setup --batch FILE --com: the host simulator creates the
// registered setup script by its ProgID, hands it the batch file's setup,
// and shows the sheet; OK applies into the file, Cancel leaves it alone.
// The program runs as its own process and its sheet is driven from here.
#include <cstdlib>

#include "tests/wine/setup_ui/sheet_fixture.h"

namespace mirdane::wine_test {
namespace {

struct ProcessWindow {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindSheetOf(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ProcessWindow*>(data);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == search->process && ::IsWindowVisible(window) && TextOf(window) == kSheetCaption) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

class HostSimulator : public SetupSheet {
 protected:
  // Starts mirdane.exe setup over the batch file and waits for its sheet.
  HWND Start() {
    const char* program = std::getenv("MIRDANE_EXE");
    EXPECT_TRUE(program && *program) << "MIRDANE_EXE names mirdane.exe";
    if (!program) return nullptr;
    std::wstring command = L"\"" + std::wstring(program, program + std::strlen(program)) +
                           L"\" setup --batch \"" + batch_.wstring() + L"\" --com";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process_)) {
      ADD_FAILURE() << "mirdane.exe could not be started";
      return nullptr;
    }
    ProcessWindow search{process_.dwProcessId, nullptr};
    WaitUntil([&] {
      ::EnumWindows(FindSheetOf, reinterpret_cast<LPARAM>(&search));
      return search.found != nullptr;
    }, 30000);
    return search.found;
  }
  // The program's exit code once it has ended.
  DWORD ExitCode() {
    DWORD code = 9999;
    if (::WaitForSingleObject(process_.hProcess, 20000) == WAIT_OBJECT_0) {
      ::GetExitCodeProcess(process_.hProcess, &code);
    }
    return code;
  }
  void TearDown() override {
    if (process_.hProcess) {
      if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(process_.hProcess, 99);
      ::CloseHandle(process_.hProcess);
      ::CloseHandle(process_.hThread);
    }
  }

  PROCESS_INFORMATION process_{};
};

TEST_F(HostSimulator, OkAppliesTheSetupIntoTheBatchFile) {
  HWND sheet = Start();
  ASSERT_TRUE(sheet);
  HWND page = CurrentPage(sheet);
  ASSERT_TRUE(page);
  HWND name = ::GetDlgItem(page, 11002);
  ASSERT_EQ(TextOf(name), L"XA bridge");
  TypeInto(name, L"Through COM");
  ASSERT_TRUE(WaitUntil([&] { return TextOf(name) == L"Through COM"; }));
  PressButton(::GetDlgItem(sheet, IDOK));
  EXPECT_EQ(ExitCode(), 0u);
  const auto setup = SetupOf(batch_);
  EXPECT_EQ(setup.name, u"Through COM");
  EXPECT_EQ(setup.userName, u"XAUSER");
  EXPECT_EQ(setup.links.size(), 6u) << "the mapped columns and the three fixed links";
}

TEST_F(HostSimulator, CancelLeavesTheBatchFileAsItWas) {
  HWND sheet = Start();
  ASSERT_TRUE(sheet);
  HWND name = ::GetDlgItem(CurrentPage(sheet), 11002);
  TypeInto(name, L"Not kept");
  ASSERT_TRUE(WaitUntil([&] { return TextOf(name) == L"Not kept"; }));
  PressButton(::GetDlgItem(sheet, IDCANCEL));
  EXPECT_EQ(ExitCode(), 1u) << "cancelled: nothing saved";
  EXPECT_EQ(ReadWholeFile(batch_), original_);
}

}  // namespace
}  // namespace mirdane::wine_test
