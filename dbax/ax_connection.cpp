#include "dbax/ax_connection.h"

#include "dbax/ax_exception.h"
#include "dbax/connection_registry.h"

namespace dbAx {

CAxConnection::~CAxConnection() {
  // A failure here cannot be reported to anyone, and a destructor may run while
  // another exception is on its way: swallow it rather than end the process.
  try {
    if (_IsOpen()) Close();
  } catch (CAxException* caught) {
    delete caught;
  } catch (...) {
  }
  ConnectionRegistry::Unregister(this);
  adoConnection_.reset();
}

void CAxConnection::Create() {
  std::shared_ptr<provider::Connection> connection;
  const HRESULT result = provider::CreateConnection(&connection);
  if (mirdane::Failed(result) || !connection) {
    adoConnection_.reset();
    ThrowAxException(kAxErrorInitialize, u"CAxConnection::Create",
                     mirdane::Failed(result) ? result : mirdane::hr::kPointer);
  }
  adoConnection_ = std::move(connection);
  ConnectionRegistry::Register(this);
}

std::int32_t CAxConnection::CursorLocation(std::int32_t location) {
  constexpr char16_t kContext[] = u"CAxConnection::CursorLocation";
  if (location != -1 && (location < 1 || location > 3)) {
    ThrowAxException(kAxErrorInvalidEnumeration, kContext, 0);
  }
  if (!adoConnection_) ThrowAxException(0, kContext, mirdane::hr::kPointer);
  if (location != -1) {
    const HRESULT result = adoConnection_->put_CursorLocation(location);
    if (mirdane::Failed(result)) ThrowAxException(0, kContext, result);
  }
  std::int32_t current = 0;
  const HRESULT result = adoConnection_->get_CursorLocation(&current);
  if (mirdane::Failed(result)) ThrowAxException(0, kContext, result);
  return current;
}

void CAxConnection::Open(const std::u16string& connectionString, const std::u16string& user,
                         const std::u16string& password, std::int32_t options) {
  if (!connectionString.empty()) connectionString_ = connectionString;
  if (!adoConnection_) ThrowAxException(0, u"CAxConnection::Open", mirdane::hr::kPointer);
  const HRESULT result = adoConnection_->Open(connectionString_, user, password, options);
  if (mirdane::Failed(result)) ThrowAxException(0, u"CAxConnection::Open", result);
}

bool CAxConnection::_IsOpen() {
  if (!adoConnection_) return false;
  std::int32_t state = 0;
  const HRESULT result = adoConnection_->get_State(&state);
  if (mirdane::Failed(result)) ThrowAxException(0, u"CAxConnection::_IsOpen", result);
  return state == provider::ado::adStateOpen;
}

void CAxConnection::Close() {
  if (!adoConnection_) ThrowAxException(0, u"CAxConnection::Close", mirdane::hr::kPointer);
  const HRESULT result = adoConnection_->Close();
  if (mirdane::Failed(result)) ThrowAxException(0, u"CAxConnection::Close", result);
}

}  // namespace dbAx
