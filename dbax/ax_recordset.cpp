#include "dbax/ax_recordset.h"

#include "base/format.h"
#include "base/text.h"
#include "dbax/ax_connection.h"
#include "dbax/ax_exception.h"

namespace dbAx {

using mirdane::Failed;
using mirdane::HRESULT;
using mirdane::Variant;
using mirdane::VarType;
namespace ado = provider::ado;

CAxRecordset::~CAxRecordset() {
  try {
    if (_IsOpen()) Close();
  } catch (CAxException* caught) {
    delete caught;
  } catch (...) {
  }
  ReleaseRecordset();
  exchangeValue_ = Variant();
  source_.clear();
}

void CAxRecordset::ClearFieldLookups() {
  fieldLookups_.clear();
  nextLookup_ = 0;
}

void CAxRecordset::ReleaseRecordset() {
  ClearFieldLookups();
  fields_.reset();
  adoRecordset_.reset();
}

HRESULT CAxRecordset::Create() {
  std::shared_ptr<provider::Recordset> recordset;
  const HRESULT result = provider::CreateRecordset(&recordset);
  if (Failed(result) || !recordset) {
    adoRecordset_.reset();
    return Failed(result) ? result : mirdane::hr::kPointer;
  }
  adoRecordset_ = std::move(recordset);
  return result;
}

void CAxRecordset::Open(const std::u16string& source, CAxConnection* connection,
                        std::int32_t cursorType, std::int32_t cursorLocation,
                        std::int32_t lockType, std::int32_t options) {
  constexpr char16_t kContext[] = u"CAxRecordset::Open";
  if (!adoRecordset_) {
    const HRESULT result = Create();
    if (Failed(result)) ThrowAxException(kAxErrorInitialize, kContext, result);
  }
  if (!source.empty()) source_ = source;
  if (connection) adoConnection_ = connection->AdoConnection();

  // A failure from here on drops the provider object, so the next Open
  // starts with a new one.
  auto fail = [this, kContext](HRESULT result) {
    ReleaseRecordset();
    ThrowAxException(0, kContext, result);
  };
  HRESULT result = adoRecordset_->put_Source(source_);
  if (Failed(result)) fail(result);
  result = adoRecordset_->putref_ActiveConnection(adoConnection_);
  if (Failed(result)) fail(result);

  const std::int32_t effectiveCursorType = cursorType_ != -2 ? cursorType_ : cursorType;
  const std::int32_t effectiveLockType = lockType_ != -2 ? lockType_ : lockType;
  CursorLocation(cursorLocation);

  result = adoRecordset_->Open(Variant::Text(source_), Variant::ObjectRef(adoConnection_),
                               effectiveCursorType, effectiveLockType, options);
  if (Failed(result)) fail(result);
  std::shared_ptr<provider::Fields> fields;
  result = adoRecordset_->get_Fields(&fields);
  if (Failed(result)) fail(result);
  ClearFieldLookups();
  fields_ = std::move(fields);
  ExchangeFields(false);
}

void CAxRecordset::AddNew() {
  if (!Supports(ado::adAddNew)) return;
  const HRESULT result = adoRecordset_->AddNew(Variant::Missing(), Variant::Missing());
  if (Failed(result)) ThrowAxException(0, u"CAxRecordset::Properties", result);
}

int DecimalDigitCount(std::u16string_view text) {
  int digits = 0;
  bool leading = true;  // still in the leading zeros of the integer part
  for (const char16_t c : text) {
    if (c == u'.') {
      leading = false;
      continue;
    }
    if (c < u'0' || c > u'9') continue;
    if (leading && c == u'0') continue;
    leading = false;
    ++digits;
  }
  return digits;
}

bool CAxRecordset::SetFieldTextChecked(const std::u16string& name, const std::u16string& text) {
  // Looked up once for the check and the assignment both.
  FieldLookup* lookup = LookUp(name);
  if (lookup && !Failed(lookup->result) && lookup->field) {
    const FieldTraits& traits = TraitsOf(*lookup);
    if (traits.decimal) {
      const int digits = DecimalDigitCount(text);
      if (digits > traits.precision) {
        const auto body = mirdane::FormatText(
            u"Invalid number of digits in decimal Field '%s' (%d > %d)",
            {name, digits, static_cast<int>(traits.precision)});
        ThrowAxException(kAxErrorFieldValue, body, 0);
      }
    }
  }
  return AssignText(lookup, name, text);
}

bool CAxRecordset::SetFieldText(const std::u16string& name, const std::u16string& text) {
  return AssignText(LookUp(name), name, text);
}

bool CAxRecordset::AssignText(FieldLookup* lookup, const std::u16string& name,
                              const std::u16string& text) {
  const std::int32_t result = ExchangeField(true, lookup, VarType::BStr, text, &exchangeText_);
  if (result < 0) {
    const auto body =
        mirdane::FormatText(u"Failed to set Field '%s' to value '%s'", {name, text});
    ThrowAxException(kAxErrorFieldValue, body, result);
  }
  return true;
}

const CAxRecordset::FieldTraits& CAxRecordset::TraitsOf(FieldLookup& lookup) {
  if (!lookup.traits) {
    FieldTraits traits;
    provider::Field& field = *lookup.field;
    std::int32_t type = 0;
    if (!Failed(field.get_Type(&type)) && type == ado::adDecimal) {
      traits.decimal = true;
      // As the result is not tested, a failed read leaves 0 and refuses every digit.
      field.get_Precision(&traits.precision);
    }
    traits.attributesResult = field.get_Attributes(&traits.attributes);
    lookup.traits = traits;
  }
  return *lookup.traits;
}

std::int32_t CAxRecordset::_FieldExchange(bool save, const std::u16string& name, VarType type,
                                          std::u16string* variable) {
  return ExchangeField(save, LookUp(name), type, *variable, variable);
}

std::int32_t CAxRecordset::ExchangeField(bool save, FieldLookup* lookup, VarType type,
                                         const std::u16string& text, std::u16string* readBack) {
  lastResult_ = 0;
  if (!lookup || Failed(lookup->result) || !lookup->field) return kExchangeNoSuchField;
  const FieldTraits& traits = TraitsOf(*lookup);
  if (Failed(traits.attributesResult)) {
    lastResult_ = traits.attributesResult;
    return lastResult_;
  }
  const bool updatable =
      (traits.attributes & (ado::adFldUpdatable | ado::adFldUnknownUpdatable)) != 0;
  if (save && updatable) {
    lastResult_ = _WriteFieldValue(*lookup->field, type, text);
  } else {
    // A column that cannot be written is read back instead.
    lastResult_ = _ReadFieldValue(*lookup->field, type, readBack);
  }
  return lastResult_;
}

HRESULT CAxRecordset::_GetField(const std::u16string& name,
                                std::shared_ptr<provider::Field>* field) {
  FieldLookup* lookup = LookUp(name);
  if (!lookup) return mirdane::hr::kPointer;
  *field = lookup->field;
  return lookup->result;
}

HRESULT CAxRecordset::FindField(const std::u16string& name, provider::Field** field) {
  FieldLookup* lookup = LookUp(name);
  *field = lookup ? lookup->field.get() : nullptr;
  return lookup ? lookup->result : mirdane::hr::kPointer;
}

CAxRecordset::FieldLookup* CAxRecordset::LookUp(const std::u16string& name) {
  if (!fields_) return nullptr;
  std::size_t at = fieldLookups_.size();
  if (!fieldLookups_.empty()) {
    const std::size_t expected = nextLookup_ < fieldLookups_.size() ? nextLookup_ : 0;
    if (mirdane::SameText(fieldLookups_[expected].name, name)) {
      at = expected;
    } else {
      for (std::size_t i = 0; i < fieldLookups_.size(); ++i) {
        if (mirdane::EqualsIgnoringAsciiCase(fieldLookups_[i].name, name)) {
          at = i;
          break;
        }
      }
    }
  }
  if (at == fieldLookups_.size()) {
    // Room at once for the columns a release assigns, rather than growing by one.
    if (fieldLookups_.capacity() == 0) fieldLookups_.reserve(kUsualLookups);
    std::shared_ptr<provider::Field> object;
    const HRESULT result = fields_->get_Item(Variant::Text(name), &object);
    fieldLookups_.push_back(
        FieldLookup{name, result, mirdane::Failed(result) ? nullptr : std::move(object), {}});
  }
  nextLookup_ = at + 1;
  return &fieldLookups_[at];
}

HRESULT CAxRecordset::_WriteFieldValue(provider::Field& field, VarType type,
                                       const std::u16string& variable) {
  // The connector exchanges text only; any other variable type clears the value.
  if (type == VarType::BStr) exchangeValue_.SetText(variable);
  else exchangeValue_ = Variant();
  return field.put_Value(exchangeValue_);
}

HRESULT CAxRecordset::_ReadFieldValue(provider::Field& field, VarType type,
                                      std::u16string* variable) {
  HRESULT result = 0;
  if (_IsEmpty()) {
    exchangeValue_ = Variant::Null();
  } else {
    exchangeValue_ = Variant::Missing();
    result = field.get_Value(&exchangeValue_);
  }
  if (exchangeValue_.IsNull()) return result;
  if (Failed(result)) return result;
  if (type == VarType::BStr) {
    if (const auto* text = exchangeValue_.AsText()) *variable = *text;
  } else {
    exchangeValue_ = Variant();
  }
  return result;
}

bool CAxRecordset::_IsEmpty() {
  bool bof = false;
  bool eof = false;
  adoRecordset_->get_BOF(&bof);
  adoRecordset_->get_EOF(&eof);
  return bof && eof;
}

void CAxRecordset::Update() {
  ExchangeFields(true);
  if (Supports(ado::adResync)) {
    if (Failed(adoRecordset_->Resync(ado::adAffectCurrent, ado::adResyncUnderlyingValues))) {
      const HRESULT result = adoRecordset_->Resync(ado::adAffectCurrent, ado::adResyncAllValues);
      if (Failed(result)) ThrowAxException(0, u"CAxRecordset::Update", result);
    }
  }
  if (Supports(ado::adUpdate)) {
    const HRESULT result = adoRecordset_->Update(Variant::Missing(), Variant::Missing());
    if (Failed(result)) ThrowAxException(0, u"CAxRecordset::Update", result);
  }
}

void CAxRecordset::CancelUpdate() {
  constexpr char16_t kContext[] = u"CAxRecordset::CancelUpdate";
  if (!adoRecordset_) ThrowAxException(0, kContext, mirdane::hr::kPointer);
  std::int32_t mode = 0;
  HRESULT result = adoRecordset_->get_EditMode(&mode);
  if (Failed(result)) ThrowAxException(0, kContext, result);
  if (mode != ado::adEditInProgress && mode != ado::adEditAdd) return;
  result = adoRecordset_->CancelUpdate();
  if (Failed(result)) ThrowAxException(0, kContext, result);
}

bool CAxRecordset::BeginRowBatch() {
  auto batch = std::dynamic_pointer_cast<provider::RowBatch>(adoRecordset_);
  return batch && batch->BeginRowBatch();
}

bool CAxRecordset::SendRowBatch() {
  auto batch = std::dynamic_pointer_cast<provider::RowBatch>(adoRecordset_);
  if (!batch) return false;
  bool stored = false;
  const HRESULT result = batch->SendRowBatch(&stored);
  if (Failed(result)) ThrowAxException(0, u"CAxRecordset::Update", result);
  return stored;
}

void CAxRecordset::EndRowBatch() {
  if (auto batch = std::dynamic_pointer_cast<provider::RowBatch>(adoRecordset_)) {
    batch->EndRowBatch();
  }
}

bool CAxRecordset::Supports(std::int32_t options) {
  if (!adoRecordset_) ThrowAxException(0, u"CAxRecordset::Supports", mirdane::hr::kPointer);
  bool supported = false;
  const HRESULT result = adoRecordset_->Supports(options, &supported);
  if (Failed(result)) ThrowAxException(0, u"CAxRecordset::Supports", result);
  return supported;
}

bool CAxRecordset::_IsOpen() {
  if (!adoRecordset_) return false;
  std::int32_t state = 0;
  if (Failed(adoRecordset_->get_State(&state))) ThrowAxException(0, nullptr, 0);
  return state == ado::adStateOpen;
}

void CAxRecordset::Close() {
  if (!adoRecordset_ || !_IsOpen()) return;
  adoRecordset_->MoveFirst();  // its result does not matter
  const HRESULT result = adoRecordset_->Close();
  if (Failed(result)) ThrowAxException(kAxErrorClose, u"CAxRecordset::Close", result);
}

namespace {

// The shape shared by the four property accessors: set when in range, then
// always read back.
template <typename Put, typename Get>
std::int32_t Access(const std::shared_ptr<provider::Recordset>& recordset, const char16_t* context,
                    bool inRange, std::int32_t value, Put put, Get get) {
  if (!recordset) ThrowAxException(0, context, mirdane::hr::kPointer);
  if (inRange) {
    const HRESULT result = ((*recordset).*put)(value);
    if (Failed(result)) ThrowAxException(0, context, result);
  }
  std::int32_t current = 0;
  const HRESULT result = ((*recordset).*get)(&current);
  if (Failed(result)) ThrowAxException(0, context, result);
  return current;
}

}  // namespace

std::int32_t CAxRecordset::CursorType(std::int32_t value) {
  cursorType_ = Access(adoRecordset_, u"CAxRecordset::CursorType", value >= 0 && value <= 3, value,
                       &provider::Recordset::put_CursorType, &provider::Recordset::get_CursorType);
  return cursorType_;
}

std::int32_t CAxRecordset::CacheSize(std::int32_t value) {
  return Access(adoRecordset_, u"CAxRecordset::CacheSize", value > 0, value,
                &provider::Recordset::put_CacheSize, &provider::Recordset::get_CacheSize);
}

std::int32_t CAxRecordset::CursorLocation(std::int32_t value) {
  return Access(adoRecordset_, u"CAxRecordset::CursorLocation", value >= 1 && value <= 3, value,
                &provider::Recordset::put_CursorLocation,
                &provider::Recordset::get_CursorLocation);
}

std::int32_t CAxRecordset::MarshalOptions(std::int32_t value) {
  return Access(adoRecordset_, u"CAxRecordset::MarshalOptions", value >= 0 && value <= 1, value,
                &provider::Recordset::put_MarshalOptions,
                &provider::Recordset::get_MarshalOptions);
}

}  // namespace dbAx
