// The module's ids are defined here, once.
#include <windows.h>
#include <initguid.h>

#include "tests/wine/component/wine_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/text.h"
#include "tools/com_host/automation_host.h"
#include "win32/kernel_handles.h"

namespace mirdane::wine_test {
namespace {

class Property final : public kfx::CustomProperty {
 public:
  explicit Property(std::u16string value) : value_(std::move(value)) {}
  HRESULT get_Value(std::u16string* value) override {
    *value = value_;
    return 0;
  }

 private:
  std::u16string value_;
};

class Properties final : public kfx::CustomProperties {
 public:
  explicit Properties(std::u16string library) : library_(std::move(library)) {}
  HRESULT get_Item(const Variant& key, std::shared_ptr<kfx::CustomProperty>* property) override {
    const auto* name = key.AsText();
    if (!name) return hr::kTypeMismatch;
    if (*name != u"serverAPILibrary") return hr::kInvalidArg;
    *property = std::make_shared<Property>(library_);
    return 0;
  }
  HRESULT Remove(const Variant&) override { return hr::kNotImplemented; }
  HRESULT Add(const std::u16string&, const std::u16string&) override {
    return hr::kNotImplemented;
  }

 private:
  std::u16string library_;
};

class SingleValue final : public kfx::Value {
 public:
  SingleValue(std::u16string destination, std::u16string text)
      : destination_(std::move(destination)), text_(std::move(text)) {}
  HRESULT get_Destination(std::u16string* d) override { *d = destination_; return 0; }
  HRESULT get_Value(std::u16string* t) override { *t = text_; return 0; }
  HRESULT get_TableName(std::u16string* t) override { t->clear(); return 0; }
  HRESULT get_RowValues(const Variant&, std::shared_ptr<Object>*) override { return hr::kFail; }

 private:
  std::u16string destination_, text_;
};

class ValueList final : public kfx::Values {
 public:
  explicit ValueList(std::vector<std::pair<std::u16string, std::u16string>> values)
      : values_(std::move(values)) {}
  HRESULT get_Count(std::int32_t* count) override {
    *count = static_cast<std::int32_t>(values_.size());
    return 0;
  }
  HRESULT get_Item(const Variant& key, std::shared_ptr<kfx::Value>* value) override {
    if (key.type() != VarType::I4) return hr::kTypeMismatch;
    const auto index = *key.AsInteger();
    if (index < 1 || index > static_cast<std::int64_t>(values_.size())) return hr::kBadIndex;
    const auto& [destination, text] = values_[static_cast<std::size_t>(index - 1)];
    *value = std::make_shared<SingleValue>(destination, text);
    return 0;
  }

 private:
  std::vector<std::pair<std::u16string, std::u16string>> values_;
};

// COM for the test thread, as the host's thread has it.
class ComEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override { ::CoInitialize(nullptr); }
  void TearDown() override { ::CoUninitialize(); }
};

const auto* const kComEnvironment = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace

HRESULT RecordingReleaseData::get_CustomProperties(
    std::shared_ptr<kfx::CustomProperties>* properties) {
  *properties = std::make_shared<Properties>(library);
  return 0;
}

HRESULT RecordingReleaseData::get_Values(std::shared_ptr<kfx::Values>* list) {
  *list = std::make_shared<ValueList>(values);
  return 0;
}

std::u16string BridgeConnectString() {
  const char* path = std::getenv("MIRDANE_BRIDGE_DB");
  EXPECT_TRUE(path && *path) << "MIRDANE_BRIDGE_DB names no bridge database";
  return u"odbc:DRIVER={SQLite3};Database=" + Utf8ToUtf16(path ? path : "");
}

std::wstring BridgeDatabaseFile() {
  const char* path = std::getenv("MIRDANE_BRIDGE_DB");
  std::wstring file = L"Z:";
  for (const char* c = path ? path : ""; *c; ++c) file += *c == '/' ? L'\\' : wchar_t(*c);
  return file;
}

LONG ReleaseOneDocument(IDispatch* script, const std::shared_ptr<RecordingReleaseData>& data) {
  data->connectString = BridgeConnectString();
  data->library = u"MAIN";
  data->values = {{u"UAGYCPP.GYALNA", u"A-1"}, {u"UAG0CPP.G0FRNA", u"Rent"}};
  win32::DispatchObject object{win32::ComPtr<IDispatch>(script)};
  auto host = win32::ComPtr<IDispatch>::Attach(hostcom::ExposeReleaseData(data));
  EXPECT_EQ(object.PutRef(L"DocumentData", win32::DispatchArg::Object(host.get())), S_OK);
  win32::UniqueVariant result;
  EXPECT_EQ(object.Call(L"ReleaseDoc", {}, &result), S_OK);
  LONG value = 99;
  win32::LongOf(*result.get(), &value);
  for (const auto& line : data->log) {
    if (line.severity != 0) ADD_FAILURE() << Narrow(line.message);
  }
  return value;
}

std::wstring ModulePath() {
  const wchar_t* path = _wgetenv(L"MIRDANE_DLL");
  return path ? path : L"";
}

DWORD RunProgram(const std::wstring& commandLine) {
  std::wstring line = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return static_cast<DWORD>(-1);
  }
  const win32::UniqueHandle thread(process.hThread), program(process.hProcess);
  ::WaitForSingleObject(program.get(), INFINITE);
  DWORD code = static_cast<DWORD>(-1);
  ::GetExitCodeProcess(program.get(), &code);
  return code;
}

void Register() { RunProgram(L"regsvr32.exe /s \"" + ModulePath() + L"\""); }

void Unregister() { RunProgram(L"regsvr32.exe /s /u \"" + ModulePath() + L"\""); }

bool KeyExists(const std::wstring& key) {
  win32::UniqueHKey opened;
  return ::RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, opened.put()) ==
         ERROR_SUCCESS;
}

bool ReadValue(const std::wstring& key, const std::wstring& name, std::wstring* value) {
  win32::UniqueHKey opened;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, opened.put()) != ERROR_SUCCESS) {
    return false;
  }
  wchar_t buffer[1024] = {};
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  DWORD type = 0;
  if (::RegQueryValueExW(opened.get(), name.empty() ? nullptr : name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return false;
  }
  *value = std::wstring(buffer, size / sizeof(wchar_t));
  while (!value->empty() && value->back() == L'\0') value->pop_back();
  return true;
}

std::vector<std::wstring> SubkeysOf(const std::wstring& key, REGSAM view) {
  std::vector<std::wstring> names;
  win32::UniqueHKey opened;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ | view, opened.put()) !=
      ERROR_SUCCESS) {
    return names;
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    if (::RegEnumKeyExW(opened.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  return names;
}

win32::ComPtr<IDispatch> CreateByProgId(const wchar_t* progId) {
  CLSID clsid{};
  win32::ComPtr<IDispatch> object;
  if (FAILED(::CLSIDFromProgID(progId, &clsid))) return object;
  ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.put_void());
  return object;
}

std::string Narrow(const std::u16string& text) { return Utf16ToUtf8(text); }

}  // namespace mirdane::wine_test
