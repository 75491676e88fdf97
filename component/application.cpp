#include "component/application.h"

#include <mutex>

#include "dbax/ax_exception.h"
#include "dbax/ax_library.h"

namespace mirdane::component {
namespace {

std::mutex start_mutex;

}  // namespace

CmirdaneApp& CmirdaneApp::Instance() {
  static CmirdaneApp app;
  return app;
}

bool CmirdaneApp::InitInstance() {
  std::lock_guard lock(start_mutex);
  if (started_) return true;
  started_ = true;
  startFailure_.reset();
  try {
    dbAx::AxLibInit();
  } catch (dbAx::CAxException* caught) {
    startFailure_ = dbAx::TakeAxException(caught)->message;
  } catch (...) {
    startFailure_ = u"The data-access library could not be started.";
  }
  return true;
}

bool CmirdaneApp::ExitInstance() {
  std::lock_guard lock(start_mutex);
  if (!started_) return true;
  try {
    dbAx::AxLibTerm();
  } catch (dbAx::CAxException* caught) {
    dbAx::TakeAxException(caught);
    return false;
  } catch (...) {
    return false;
  }
  started_ = false;
  return true;
}

std::optional<std::u16string> CmirdaneApp::StartFailure() const {
  std::lock_guard lock(start_mutex);
  return startFailure_;
}

}  // namespace mirdane::component
