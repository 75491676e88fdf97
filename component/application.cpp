#include "component/application.h"

#include <windows.h>
#include <objbase.h>

#include <clocale>
#include <mutex>

#include "component/locale_name.h"
#include "dbax/ax_exception.h"
#include "dbax/ax_library.h"

namespace mirdane::component {
namespace {

std::mutex start_mutex;

std::string LocaleText(LCID locale, LCTYPE type) {
  char buffer[128] = {};
  const int length = ::GetLocaleInfoA(locale, type, buffer, static_cast<int>(sizeof(buffer)));
  return length > 1 ? std::string(buffer, static_cast<std::size_t>(length - 1)) : std::string();
}

void SetRuntimeLocale() {
  const std::string name = ComposeLocaleName(
      LocaleText(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE),
      LocaleText(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY),
      LocaleText(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE));
  // A name the run-time library does not know leaves the "C" locale in place.
  std::setlocale(LC_ALL, name.c_str());
}

}  // namespace

CmirdaneApp& CmirdaneApp::Instance() {
  static CmirdaneApp app;
  return app;
}

bool CmirdaneApp::InitInstance() {
  std::lock_guard lock(start_mutex);
  if (started_) return true;
  started_ = true;
  startThread_ = ::GetCurrentThreadId();
  // Unchecked: the host's thread usually has its apartment already.
  comInitialised_ = SUCCEEDED(::CoInitialize(nullptr));
  try {
    SetRuntimeLocale();
  } catch (...) {
    // The locale only shapes formatting; the module works in the "C" locale.
  }
  try {
    dbAx::AxLibInit();
  } catch (dbAx::CAxException* caught) {
    startFailure_ = caught->message;
    delete caught;
  } catch (...) {
    startFailure_ = u"The data-access library could not be started.";
  }
  return true;
}

int CmirdaneApp::ExitInstance() {
  std::lock_guard lock(start_mutex);
  if (!started_) return 0;
  // COM belongs to the thread that initialised it: another thread (the
  // process ending on a thread of its own) leaves it to the system.
  const bool ownThread = ::GetCurrentThreadId() == startThread_;
  try {
    if (ownThread) dbAx::AxLibTerm();
  } catch (dbAx::CAxException* caught) {
    delete caught;
  } catch (...) {
  }
  if (ownThread && comInitialised_) ::CoUninitialize();
  comInitialised_ = false;
  started_ = false;
  return 0;
}

std::optional<std::u16string> CmirdaneApp::StartFailure() const {
  std::lock_guard lock(start_mutex);
  return startFailure_;
}

}  // namespace mirdane::component
