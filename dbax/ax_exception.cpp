#include "dbax/ax_exception.h"

#include "base/format.h"
#include "base/system_message.h"
#include "dbax/ax_connection.h"
#include "dbax/connection_registry.h"

namespace dbAx {
namespace {

// Reads the errors of the first registered connection that has any into the
// exception, appends their descriptions to its message and clears them in the
// provider, so the same errors never appear in a later exception.
void AppendProviderErrors(CAxException& e, bool takeNumber) {
  ConnectionRegistry::Walk([&e](CAxConnection* connection) {
    e.adoErrors.reset();
    e.errorCount = 0;
    const auto& ado = connection->AdoConnection();
    if (!ado) return true;
    std::shared_ptr<provider::Errors> errors;
    if (mirdane::Failed(ado->get_Errors(&errors)) || !errors) return true;
    e.adoErrors = errors;
    std::int32_t count = 0;
    if (mirdane::Succeeded(errors->get_Count(&count))) e.errorCount = count;
    return e.errorCount <= 0;
  });
  if (!e.adoErrors) return;

  for (std::int32_t i = 0; i < e.errorCount; ++i) {
    std::shared_ptr<provider::Error> error;
    if (mirdane::Failed(e.adoErrors->get_Item(mirdane::Variant::I4(i), &error)) || !error) {
      continue;
    }
    e.adoError = error;
    std::int32_t number = 0;
    std::u16string description;
    error->get_Number(&number);
    error->get_Description(&description);
    if (takeNumber) e.code = number;
    e.message += u'\n';
    e.message += description;
    if (i < e.errorCount - 1) e.message += u'\n';
  }
}

}  // namespace

std::u16string AxErrorText(std::int32_t code) {
  switch (code) {
    case kAxErrorInitialize: return u"The dbAx Library failed to initialize";
    case kAxErrorFieldNotFound: return u"The specified field in the database was not found";
    case kAxErrorNotOpen: return u"The dbAx object is not open";
    case kAxErrorBufferTooSmall: return u"The specified buffer size is too small";
    case kAxErrorBadPointer: return u"Bad or NULL pointer";
    case kAxErrorInvalidEnumeration: return u"Invalid enumeration value";
    case kAxErrorInvalidPosition: return u"Invalid page or record position";
    case kAxErrorClose: return u"The dbAx Library failed to close";
    default: return u"Unknown error";
  }
}

void ThrowAxException(std::int32_t code, const char16_t* text, HRESULT hr) {
  auto e = std::make_unique<CAxException>();
  e->hr = hr;
  e->code = code;

  if (code == 0) {
    e->message = text ? text : u"";
    AppendProviderErrors(*e, /*takeNumber=*/true);
    if (hr != 0) e->message += u"\nCOM Error: " + mirdane::HresultText(hr);
    if (e->adoErrors) e->adoErrors->Clear();
  } else if (code == kAxErrorFieldValue) {
    e->message = mirdane::FormatText(u"%s (Error Code: 0x%08lx)",
                                     {text ? text : u"", static_cast<unsigned long>(hr)});
    // A value the provider refused: its reasons (the column's type, why the
    // value does not fit) follow, and are cleared like any other provider
    // error so they cannot surface later under an unrelated operation.
    if (hr != 0) {
      AppendProviderErrors(*e, /*takeNumber=*/false);
      if (e->adoErrors) e->adoErrors->Clear();
    }
  } else {
    e->message = AxErrorText(code);
    if (hr != 0) e->message += u"\nCOM Error: " + mirdane::HresultText(hr);
    if (text) {
      e->message += u"\nSource: ";
      e->message += text;
    }
  }
  throw e.release();
}

}  // namespace dbAx
