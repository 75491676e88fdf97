// What the Windows tests share: the module under test, COM, the registry,
// and a host whose calls are recorded.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <memory>
#include <string>
#include <vector>

#include "host/host_objects.h"
#include "mirdane_h.h"
#include "win32/com_ptr.h"
#include "win32/dispatch_call.h"

namespace mirdane::wine_test {

// The full Windows path of the mirdane.dll under test (MIRDANE_DLL).
std::wstring ModulePath();

// Runs a program of the Wine prefix (regsvr32 ...) and gives its exit code.
DWORD RunProgram(const std::wstring& commandLine);
void Register();
void Unregister();

// Registry reads under HKEY_CLASSES_ROOT.
bool KeyExists(const std::wstring& key);
// The value `name` of `key` (the default value for an empty name); false
// when either is missing.
bool ReadValue(const std::wstring& key, const std::wstring& name, std::wstring* value);
// `view` may name a registry view (KEY_WOW64_32KEY, KEY_WOW64_64KEY).
std::vector<std::wstring> SubkeysOf(const std::wstring& key, REGSAM view = 0);

// Creates a class by its ProgID and gives its IDispatch.
win32::ComPtr<IDispatch> CreateByProgId(const wchar_t* progId);

// One line the host's log received, and one status message.
struct LoggedLine {
  std::int32_t severity = 0;
  std::u16string message;
  std::u16string codeModule;
  std::int32_t line = 0;
};

// A release data object whose values and settings are set by the test and
// whose log is recorded.
struct RecordingReleaseData : kfx::ReleaseData {
  std::u16string pdfFileName = u"doc.pdf";
  std::u16string connectString;
  std::u16string library = u"XALIB";
  std::vector<std::pair<std::u16string, std::u16string>> values;  // destination, text
  std::vector<LoggedLine> log;
  std::vector<std::u16string> messages;

  HRESULT get_KofaxPDFFileName(std::u16string* t) override { *t = pdfFileName; return 0; }
  HRESULT get_ConnectString(std::u16string* t) override { *t = connectString; return 0; }
  HRESULT get_UserName(std::u16string* t) override { t->clear(); return 0; }
  HRESULT get_Password(std::u16string* t) override { t->clear(); return 0; }
  HRESULT get_CustomProperties(std::shared_ptr<kfx::CustomProperties>* properties) override;
  HRESULT get_Values(std::shared_ptr<kfx::Values>* values) override;
  HRESULT LogError(std::int32_t severity, std::int32_t, std::int32_t, const std::u16string& message,
                   const std::u16string& codeModule, std::int32_t line) override {
    log.push_back({severity, message, codeModule, line});
    return 0;
  }
  HRESULT SendMessage(const std::u16string& message, std::int32_t, std::int32_t) override {
    messages.push_back(message);
    return 0;
  }
};

// The bridge database that the run made for this program (MIRDANE_BRIDGE_DB,
// a Linux path: SQLite's ODBC driver behind Wine's odbc32 opens it), as the
// connect string a release uses and as this program's own (Z:) path.
std::u16string BridgeConnectString();
std::wstring BridgeDatabaseFile();

// Releases one document (a header and one line) through `script`, a release
// script, into the bridge database; gives the KfxReturnValue.
LONG ReleaseOneDocument(IDispatch* script, const std::shared_ptr<RecordingReleaseData>& data);

// The text of a UTF-16 string for messages.
std::string Narrow(const std::u16string& text);

}  // namespace mirdane::wine_test
