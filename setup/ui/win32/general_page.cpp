#include "setup/ui/win32/general_page.h"

#include "base/format.h"
#include "setup/setup_mapping_model.h"
#include "setup/ui/setup_pages_resource.h"
#include "setup/ui/win32/connection_test_dialog.h"
#include "setup/ui/win32/fit_text.h"
#include "ui/win32/ui_text.h"

namespace mirdane::ui {
namespace {

constexpr DWORD kVersionSignature = 0xFEEF04BD;

// The page's edits and the settings they show, in the order of the page.
struct EditField {
  int id;
  std::u16string GeneralSettings::*text;
};
constexpr EditField kEdits[] = {
    {IDC_INSTANCE_NAME, &GeneralSettings::name},
    {IDC_SERVER_NAME, &GeneralSettings::connectString},
    {IDC_USER_NAME, &GeneralSettings::userName},
    {IDC_PASSWORD, &GeneralSettings::password},
    {IDC_API_LIBRARY, &GeneralSettings::apiLibrary},
};

}  // namespace

std::optional<std::u16string> ModuleVersionText(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::nullopt;
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return std::nullopt;
  std::u16string block(size / 2 + 1, u'\0');
  if (!::GetFileVersionInfoW(path, 0, size, block.data())) return std::nullopt;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
      !fixed || fixedSize < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != kVersionSignature) {
    return std::nullopt;
  }
  // The product version's first three numbers: 1.0.2.0 reads 1.0.2.
  return FormatText(u"%01d.%01d.%01d",
                    {static_cast<long long>(HIWORD(fixed->dwProductVersionMS)),
                     static_cast<long long>(LOWORD(fixed->dwProductVersionMS)),
                     static_cast<long long>(HIWORD(fixed->dwProductVersionLS))});
}

const win32::MessageMap<GeneralPage> GeneralPage::kMessages = {
    win32::OnMessage(WM_INITDIALOG, &GeneralPage::OnInitDialog),
    win32::OnCommand(IDC_TEST_CONNECTION, BN_CLICKED, &GeneralPage::TestConnection),
};

GeneralPage::GeneralPage(HINSTANCE resources, CSetupMappingModel* model)
    : Window(resources, IDD_SETUP_GENERAL), model_(model) {}

GeneralPage::~GeneralPage() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

LRESULT GeneralPage::OnInitDialog(WPARAM, LPARAM) {
  FitLabelsToText(hwnd_);
  FitCheckBoxToText(::GetDlgItem(hwnd_, IDC_RELEASE_LEDGER));
  if (const auto version = ModuleVersionText(resources())) {
    ::SetDlgItemTextW(hwnd_, IDC_VERSION_TEXT, Wide(*version));
    ::ShowWindow(::GetDlgItem(hwnd_, IDC_VERSION_LABEL), SW_SHOW);
    ::ShowWindow(::GetDlgItem(hwnd_, IDC_VERSION_TEXT), SW_SHOW);
  }
  if (!settings_.Load(model_)) return TRUE;
  ::SetDlgItemTextW(hwnd_, IDC_BATCH_CLASS, Wide(settings_.batchClassName));
  ::SetDlgItemTextW(hwnd_, IDC_DOCUMENT_CLASS, Wide(settings_.docClassName));
  for (const EditField& edit : kEdits) ::SetDlgItemTextW(hwnd_, edit.id, Wide(settings_.*edit.text));
  ::CheckDlgButton(hwnd_, IDC_RELEASE_LEDGER,
                   settings_.releaseLedger.value_or(false) ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

void GeneralPage::TestConnection() {
  if (!ReadControls()) return;
  bridge::ConnectionTestSettings test;
  test.server = settings_.connectString;
  test.userName = settings_.userName;
  test.password = settings_.password;
  test.library = settings_.apiLibrary;
  test.releaseLedger = settings_.releaseLedger.value_or(false);
  RunConnectionTest(::GetAncestor(hwnd_, GA_ROOT), test);
  // Focus back where the administrator was: on the button.
  ::SetFocus(::GetDlgItem(hwnd_, IDC_TEST_CONNECTION));
}

bool GeneralPage::ReadControls() {
  for (const EditField& edit : kEdits) {
    HWND control = ::GetDlgItem(hwnd_, edit.id);
    if (!control) return false;
    settings_.*edit.text = WindowText(control);
  }
  HWND ledger = ::GetDlgItem(hwnd_, IDC_RELEASE_LEDGER);
  if (!ledger) return false;
  settings_.releaseLedger = ::SendMessageW(ledger, BM_GETCHECK, 0, 0) == BST_CHECKED;
  return true;
}

void GeneralPage::OnOK() {
  // Exactly as typed, empty texts included; the host keeps them until Apply.
  if (!model_ || !ReadControls()) return;
  settings_.Store(model_);
}

}  // namespace mirdane::ui
