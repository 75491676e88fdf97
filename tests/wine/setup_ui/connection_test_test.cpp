// "Test Connection" on the General page, driven through the real windows:
// the values on the page (not the saved ones) tried against SQLite over
// Wine's ODBC, each outcome read from its task dialog and kept as a
// screenshot; and Cancel during a test that does not end.
#include "tests/wine/setup_ui/sheet_fixture.h"

#include <commctrl.h>

namespace mirdane::wine_test {
namespace {

constexpr int kTestConnection = 11062;
constexpr int kReleaseLedger = 11061;
constexpr wchar_t kTestingTitle[] = L"Testing the Connection";
constexpr wchar_t kResultTitle[] = L"Test Connection";

// Set by the Wine tier: bridge databases made by `mirdane bridge create`
// (one of them without the column UAGYCPP.GYABNT), and a port on which
// something accepts connections and never answers.
std::string Setting(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

BOOL CALLBACK CollectText(HWND child, LPARAM data) {
  auto* text = reinterpret_cast<std::wstring*>(data);
  *text += TextOf(child) + L"\n";
  return TRUE;
}

// Every text a dialog shows, its controls' one after another.
std::wstring DialogText(HWND dialog) {
  std::wstring text;
  ::EnumChildWindows(dialog, CollectText, reinterpret_cast<LPARAM>(&text));
  return text;
}

BOOL CALLBACK FindProgress(HWND child, LPARAM data) {
  if (ClassOf(child) != PROGRESS_CLASSW) return TRUE;
  *reinterpret_cast<HWND*>(data) = child;
  return FALSE;
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::filesystem::path Shot(const std::string& name) {
  return ScreenshotFolder() / ("setup-connection-" + name + "-" + DpiSuffix() + ".bmp");
}

class ConnectionTest : public SetupSheet {
 protected:
  // Types the connection values over the page's, presses Test Connection
  // and gives the result's dialog once the test is done.
  HWND Test(const std::wstring& server, const std::wstring& password) {
    TypeInto(Control(11017), server);
    TypeInto(Control(11025), password);
    TypeInto(Control(11028), L"main");
    EXPECT_TRUE(WaitUntil([&] { return TextOf(Control(11017)) == server && TextOf(Control(11028)) == L"main"; }));
    PressButton(Control(kTestConnection));
    HWND result = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (result = FindThreadWindow(run_->threadId(), kResultTitle)) != nullptr; }, 30000))
        << DescribeThreadWindows(run_->threadId());
    return result;
  }
  void Close(HWND dialog) {
    PressButton(::GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
    EXPECT_TRUE(::IsWindowEnabled(sheet_)) << "the sheet takes input again";
  }
  static std::wstring SqliteSource(const char* setting) {
    return L"odbc:DRIVER={SQLite3};Database=" + Widen(Setting(setting));
  }
};

TEST_F(ConnectionTest, EachOutcomeInTheWordsOfBridgeCheckScreenshots) {
  ASSERT_NE(Setting("MIRDANE_CONNECTION_DB"), "") << "the Wine tier sets the bridge databases";
  Open();
  ::Sleep(300);
  // Nothing saved says sqlite: the test takes what is typed.
  HWND works = Test(SqliteSource("MIRDANE_CONNECTION_DB"), L"Pa55word!");
  ASSERT_TRUE(works);
  std::wstring text = DialogText(works);
  EXPECT_NE(text.find(L"The connection works"), std::wstring::npos) << NarrowW(text.c_str());
  EXPECT_NE(text.find(L"MAIN: both bridge tables match the field catalogue"), std::wstring::npos)
      << "no column reported VARCHAR: " << NarrowW(text.c_str());
  EXPECT_EQ(text.find(L"MIRDLEDGER"), std::wstring::npos) << "the ledger is off";
  ::Sleep(300);
  EXPECT_TRUE(SaveScreenshot({sheet_, works}, Shot("works")));
  Close(works);

  HWND missing = Test(SqliteSource("MIRDANE_CONNECTION_DB_NO_COLUMN"), L"Pa55word!");
  ASSERT_TRUE(missing);
  text = DialogText(missing);
  EXPECT_NE(text.find(L"a release would fail"), std::wstring::npos) << NarrowW(text.c_str());
  EXPECT_NE(text.find(L"error: MAIN.UAGYCPP.GYABNT (CHAR(10)) is missing"), std::wstring::npos)
      << NarrowW(text.c_str());
  ::Sleep(300);
  EXPECT_TRUE(SaveScreenshot({sheet_, missing}, Shot("missing-column")));
  Close(missing);

  // The ledger switched on (not saved yet): it is missing, and the command that makes it is given.
  ASSERT_TRUE(ClickCheckBox(Control(kReleaseLedger)));
  ASSERT_EQ(::SendMessageW(Control(kReleaseLedger), BM_GETCHECK, 0, 0), BST_CHECKED);
  HWND noLedger = Test(SqliteSource("MIRDANE_CONNECTION_DB"), L"Pa55word!");
  ASSERT_TRUE(noLedger);
  text = DialogText(noLedger);
  EXPECT_NE(text.find(L"error: MAIN.MIRDLEDGER does not exist, and documents released with "
                      L"releaseLedger = 1 need it. Create it with: mirdane bridge create --ledger "
                      L"--library MAIN --connect odbc:DRIVER={SQLite3};Database="),
            std::wstring::npos)
      << NarrowW(text.c_str());
  ::Sleep(300);
  EXPECT_TRUE(SaveScreenshot({sheet_, noLedger}, Shot("missing-ledger")));
  Close(noLedger);

  // No connection: the composed error, with neither password shown.
  HWND refused = Test(L"odbc:DRIVER={No Such Driver};PWD=Pa55word!", L"Pa55word!");
  ASSERT_TRUE(refused);
  text = DialogText(refused);
  EXPECT_NE(text.find(L"The connection could not be opened"), std::wstring::npos) << NarrowW(text.c_str());
  EXPECT_NE(text.find(L"No Such Driver"), std::wstring::npos) << NarrowW(text.c_str());
  EXPECT_EQ(text.find(L"Pa55word"), std::wstring::npos) << NarrowW(text.c_str());
  ::Sleep(300);
  EXPECT_TRUE(SaveScreenshot({sheet_, refused}, Shot("no-connection")));
  Close(refused);

  // Testing saved nothing; Cancel keeps the setup as it was.
  PressCancel();
  ExpectClosedWith(false);
  EXPECT_EQ(ReadWholeFile(batch_), original_);
}

TEST_F(ConnectionTest, CancelDuringASlowTestLeavesTheSheetWorkingScreenshot) {
  ASSERT_NE(Setting("MIRDANE_SILENT_PORT"), "") << "the Wine tier opens a port that never answers";
  Open();
  const std::wstring server = L"odbc:DRIVER={PostgreSQL};Servername=127.0.0.1;Port=" +
                              Widen(Setting("MIRDANE_SILENT_PORT")) + L";Database=xa";
  TypeInto(Control(11017), server);
  ASSERT_TRUE(WaitUntil([&] { return TextOf(Control(11017)) == server; }));
  PressButton(Control(kTestConnection));
  HWND waiting = WaitForThreadWindow(run_->threadId(), kTestingTitle);
  ASSERT_TRUE(waiting) << DescribeThreadWindows(run_->threadId());
  HWND progress = nullptr;
  ::EnumChildWindows(waiting, FindProgress, reinterpret_cast<LPARAM>(&progress));
  ASSERT_TRUE(progress) << "a progress bar shows that the test works";
  EXPECT_TRUE(::GetWindowLongPtrW(progress, GWL_STYLE) & PBS_MARQUEE);
  // The dialog's thread keeps answering while the worker waits on the server.
  ::Sleep(1500);
  DWORD_PTR answer = 0;
  EXPECT_TRUE(::SendMessageTimeoutW(waiting, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer));
  EXPECT_TRUE(::IsWindow(waiting)) << "still testing";
  EXPECT_FALSE(FindThreadWindow(run_->threadId(), kResultTitle));
  EXPECT_TRUE(SaveScreenshot({sheet_, waiting}, Shot("testing")));

  PressButton(::GetDlgItem(waiting, IDCANCEL));
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(waiting); }, 3000)) << "Cancel ends the wait at once";
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(sheet_); }));
  EXPECT_FALSE(FindThreadWindow(run_->threadId(), kResultTitle)) << "an abandoned test reports nothing";
  // The sheet works on while the abandoned test still waits: typing, the box, OK.
  TypeInto(Control(11002), L"after cancel");
  PressButton(Control(kReleaseLedger));
  ASSERT_TRUE(WaitUntil([&] { return TextOf(Control(11002)) == L"after cancel"; }));
  PressOk();
  ExpectClosedWith(true);
  const auto setup = SetupOf(batch_);
  EXPECT_EQ(setup.name, u"after cancel");
  EXPECT_EQ(CustomProperty(setup, u"releaseLedger"), u"1");
}

}  // namespace
}  // namespace mirdane::wine_test
