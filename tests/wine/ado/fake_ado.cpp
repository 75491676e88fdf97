#include "tests/wine/ado/fake_ado.h"

#include <oleauto.h>

#include <atomic>

namespace dbAx::provider::adodb::test {
namespace {

using mirdane::win32::Bstr;
using mirdane::win32::ComPtr;

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// A slot the backend never calls.
#define MIRDANE_NOT_CALLED(name) \
  ::HRESULT STDMETHODCALLTYPE name() override { return E_NOTIMPL; }

// Reference counting, QueryInterface, IDispatch (not offered) and, for
// objects that report through error information, ISupportErrorInfo.
template <typename Interface>
class FakeObject : public Interface, public ISupportErrorInfo {
 public:
  FakeObject(std::shared_ptr<FakeAdoScript> script, const IID& iid)
      : script_(std::move(script)), iid_(iid) {}
  virtual ~FakeObject() = default;

  ::HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == iid_) {
      *out = static_cast<Interface*>(this);
    } else if (iid == IID_ISupportErrorInfo) {
      *out = static_cast<ISupportErrorInfo*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  ::HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == iid_ ? S_OK : S_FALSE;
  }
  ::HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  ::HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  ::HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  ::HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

 protected:
  // Logs `call` and answers its scripted failure, if any, the way ADO fails:
  // the provider's errors in the Errors collection, a description in the
  // thread's error information.
  HRESULT Called(const std::string& call) {
    script_->log.push_back(call);
    const auto failure = script_->failures.find(call);
    if (failure == script_->failures.end()) return S_OK;
    script_->errors_now = script_->provider_errors;
    if (!script_->error_info.empty()) {
      ComPtr<ICreateErrorInfo> create;
      ComPtr<IErrorInfo> info;
      Bstr description(script_->error_info);
      if (SUCCEEDED(::CreateErrorInfo(create.put())) &&
          SUCCEEDED(create->SetDescription(description.get())) &&
          SUCCEEDED(create.As(IID_IErrorInfo, &info))) {
        ::SetErrorInfo(0, info.get());
      }
    }
    return failure->second;
  }

  std::shared_ptr<FakeAdoScript> script_;

 private:
  IID iid_;
  std::atomic<ULONG> references_{1};
};

class FakeError final : public FakeObject<AdoError> {
 public:
  FakeError(std::shared_ptr<FakeAdoScript> script, ProviderError error)
      : FakeObject(std::move(script), kErrorInterface), error_(std::move(error)) {}
  ::HRESULT STDMETHODCALLTYPE get_Number(AdoLong* number) override {
    *number = error_.number;
    return S_OK;
  }
  MIRDANE_NOT_CALLED(unused_get_Source)
  ::HRESULT STDMETHODCALLTYPE get_Description(BSTR* description) override {
    *description = Bstr(error_.description).Detach();
    return S_OK;
  }

 private:
  ProviderError error_;
};

class FakeErrors final : public FakeObject<AdoErrors> {
 public:
  explicit FakeErrors(std::shared_ptr<FakeAdoScript> script)
      : FakeObject(std::move(script), kErrorsInterface) {}
  ::HRESULT STDMETHODCALLTYPE get_Count(AdoLong* count) override {
    *count = static_cast<AdoLong>(script_->errors_now.size());
    return S_OK;
  }
  MIRDANE_NOT_CALLED(unused__NewEnum)
  MIRDANE_NOT_CALLED(unused_Refresh)
  ::HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, AdoError** error) override {
    if (index.vt != VT_I4 || index.lVal < 0 ||
        static_cast<std::size_t>(index.lVal) >= script_->errors_now.size()) {
      return E_INVALIDARG;
    }
    *error = new FakeError(script_, script_->errors_now[static_cast<std::size_t>(index.lVal)]);
    return S_OK;
  }
  ::HRESULT STDMETHODCALLTYPE Clear() override {
    script_->errors_now.clear();
    return S_OK;
  }
};

class FakeField final : public FakeObject<AdoField> {
 public:
  FakeField(std::shared_ptr<FakeAdoScript> script, std::size_t index)
      : FakeObject(std::move(script), kFieldInterface), index_(index) {}
  MIRDANE_NOT_CALLED(unused_get_Properties)
  MIRDANE_NOT_CALLED(unused_get_ActualSize)
  ::HRESULT STDMETHODCALLTYPE get_Attributes(AdoLong* attributes) override {
    *attributes = column().attributes;
    return S_OK;
  }
  ::HRESULT STDMETHODCALLTYPE get_DefinedSize(AdoLongPtr* size) override {
    *size = column().defined_size;
    return S_OK;
  }
  ::HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
    const HRESULT result = Called("Field.Name");
    if (SUCCEEDED(result)) *name = Bstr(column().name).Detach();
    return result;
  }
  ::HRESULT STDMETHODCALLTYPE get_Type(AdoLong* type) override {
    *type = column().type;
    return S_OK;
  }
  ::HRESULT STDMETHODCALLTYPE get_Value(VARIANT*) override { return E_NOTIMPL; }
  ::HRESULT STDMETHODCALLTYPE put_Value(VARIANT value) override {
    std::string shown = "?";
    if (value.vt == VT_BSTR) shown = "'" + Narrow(Bstr::ToText(value.bstrVal)) + "'";
    else if (value.vt == VT_NULL) shown = "NULL";
    else if (value.vt == VT_I4) shown = std::to_string(value.lVal);
    const HRESULT result = Called("Field(" + Narrow(column().name) + ").Value");
    if (SUCCEEDED(result)) script_->log.back() += "=" + shown;
    return result;
  }
  ::HRESULT STDMETHODCALLTYPE get_Precision(BYTE* precision) override {
    const HRESULT result = Called("Field(" + Narrow(column().name) + ").Precision");
    if (SUCCEEDED(result)) *precision = column().precision;
    return result;
  }
  ::HRESULT STDMETHODCALLTYPE get_NumericScale(BYTE* scale) override {
    *scale = column().scale;
    return S_OK;
  }

 private:
  const FakeColumn& column() const { return script_->columns[index_]; }
  std::size_t index_;
};

class FakeFields final : public FakeObject<AdoFields> {
 public:
  explicit FakeFields(std::shared_ptr<FakeAdoScript> script)
      : FakeObject(std::move(script), kFieldsInterface) {}
  ::HRESULT STDMETHODCALLTYPE get_Count(AdoLong* count) override {
    *count = static_cast<AdoLong>(script_->columns.size());
    return S_OK;
  }
  MIRDANE_NOT_CALLED(unused__NewEnum)
  MIRDANE_NOT_CALLED(unused_Refresh)
  ::HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, AdoField** field) override {
    if (index.vt != VT_I4 || index.lVal < 0 ||
        static_cast<std::size_t>(index.lVal) >= script_->columns.size()) {
      return static_cast<HRESULT>(0x800A0CC1);  // adErrItemNotFound
    }
    *field = new FakeField(script_, static_cast<std::size_t>(index.lVal));
    return S_OK;
  }
};

class FakeConnection final : public FakeObject<AdoConnection> {
 public:
  explicit FakeConnection(std::shared_ptr<FakeAdoScript> script)
      : FakeObject(std::move(script), kConnectionInterface) {}
  MIRDANE_NOT_CALLED(unused_get_Properties)
  MIRDANE_NOT_CALLED(unused_get_ConnectionString)
  MIRDANE_NOT_CALLED(unused_put_ConnectionString)
  MIRDANE_NOT_CALLED(unused_get_CommandTimeout)
  MIRDANE_NOT_CALLED(unused_put_CommandTimeout)
  MIRDANE_NOT_CALLED(unused_get_ConnectionTimeout)
  MIRDANE_NOT_CALLED(unused_put_ConnectionTimeout)
  MIRDANE_NOT_CALLED(unused_get_Version)
  ::HRESULT STDMETHODCALLTYPE Close() override { return Called("Connection.Close"); }
  MIRDANE_NOT_CALLED(unused_Execute)
  MIRDANE_NOT_CALLED(unused_BeginTrans)
  MIRDANE_NOT_CALLED(unused_CommitTrans)
  MIRDANE_NOT_CALLED(unused_RollbackTrans)
  ::HRESULT STDMETHODCALLTYPE Open(BSTR, BSTR, BSTR, AdoLong) override {
    return Called("Connection.Open");
  }
  ::HRESULT STDMETHODCALLTYPE get_Errors(AdoErrors** errors) override {
    *errors = new FakeErrors(script_);
    return S_OK;
  }
  MIRDANE_NOT_CALLED(unused_get_DefaultDatabase)
  MIRDANE_NOT_CALLED(unused_put_DefaultDatabase)
  MIRDANE_NOT_CALLED(unused_get_IsolationLevel)
  MIRDANE_NOT_CALLED(unused_put_IsolationLevel)
  MIRDANE_NOT_CALLED(unused_get_Attributes)
  MIRDANE_NOT_CALLED(unused_put_Attributes)
  MIRDANE_NOT_CALLED(unused_get_CursorLocation)
  ::HRESULT STDMETHODCALLTYPE put_CursorLocation(AdoLong) override {
    return Called("Connection.CursorLocation");
  }
  MIRDANE_NOT_CALLED(unused_get_Mode)
  MIRDANE_NOT_CALLED(unused_put_Mode)
  MIRDANE_NOT_CALLED(unused_get_Provider)
  MIRDANE_NOT_CALLED(unused_put_Provider)
  ::HRESULT STDMETHODCALLTYPE get_State(AdoLong* state) override {
    *state = 1;
    return S_OK;
  }
};

class FakeRecordset final : public FakeObject<AdoRecordset> {
 public:
  explicit FakeRecordset(std::shared_ptr<FakeAdoScript> script)
      : FakeObject(std::move(script), kRecordsetInterface) {}
  MIRDANE_NOT_CALLED(unused_get_Properties)
  MIRDANE_NOT_CALLED(unused_get_AbsolutePosition)
  MIRDANE_NOT_CALLED(unused_put_AbsolutePosition)
  MIRDANE_NOT_CALLED(unused_putref_ActiveConnection)
  MIRDANE_NOT_CALLED(unused_put_ActiveConnection)
  MIRDANE_NOT_CALLED(unused_get_ActiveConnection)
  MIRDANE_NOT_CALLED(unused_get_BOF)
  MIRDANE_NOT_CALLED(unused_get_Bookmark)
  MIRDANE_NOT_CALLED(unused_put_Bookmark)
  MIRDANE_NOT_CALLED(unused_get_CacheSize)
  ::HRESULT STDMETHODCALLTYPE put_CacheSize(AdoLong) override {
    return Called("Recordset.CacheSize");
  }
  MIRDANE_NOT_CALLED(unused_get_CursorType)
  MIRDANE_NOT_CALLED(unused_put_CursorType)
  ::HRESULT STDMETHODCALLTYPE get_EOF(VARIANT_BOOL*) override { return E_NOTIMPL; }
  ::HRESULT STDMETHODCALLTYPE get_Fields(AdoFields** fields) override {
    const HRESULT result = Called("Recordset.Fields");
    if (SUCCEEDED(result)) *fields = new FakeFields(script_);
    return result;
  }
  MIRDANE_NOT_CALLED(unused_get_LockType)
  MIRDANE_NOT_CALLED(unused_put_LockType)
  MIRDANE_NOT_CALLED(unused_get_MaxRecords)
  MIRDANE_NOT_CALLED(unused_put_MaxRecords)
  MIRDANE_NOT_CALLED(unused_get_RecordCount)
  MIRDANE_NOT_CALLED(unused_putref_Source)
  MIRDANE_NOT_CALLED(unused_put_Source)
  MIRDANE_NOT_CALLED(unused_get_Source)
  ::HRESULT STDMETHODCALLTYPE AddNew(VARIANT, VARIANT) override {
    return Called("Recordset.AddNew");
  }
  ::HRESULT STDMETHODCALLTYPE CancelUpdate() override { return Called("Recordset.CancelUpdate"); }
  ::HRESULT STDMETHODCALLTYPE Close() override {
    const HRESULT result = Called("Recordset.Close");
    if (SUCCEEDED(result)) open_ = false;
    return result;
  }
  MIRDANE_NOT_CALLED(unused_Delete)
  MIRDANE_NOT_CALLED(unused_GetRows)
  MIRDANE_NOT_CALLED(unused_Move)
  MIRDANE_NOT_CALLED(MoveNext)
  MIRDANE_NOT_CALLED(unused_MovePrevious)
  MIRDANE_NOT_CALLED(unused_MoveFirst)
  MIRDANE_NOT_CALLED(unused_MoveLast)
  ::HRESULT STDMETHODCALLTYPE Open(VARIANT, VARIANT, AdoLong, AdoLong, AdoLong) override {
    return Called("Recordset.Open");
  }
  MIRDANE_NOT_CALLED(unused_Requery)
  MIRDANE_NOT_CALLED(unused__xResync)
  ::HRESULT STDMETHODCALLTYPE Update(VARIANT, VARIANT) override {
    return Called("Recordset.Update");
  }
  MIRDANE_NOT_CALLED(unused_get_AbsolutePage)
  MIRDANE_NOT_CALLED(unused_put_AbsolutePage)
  MIRDANE_NOT_CALLED(unused_get_EditMode)
  MIRDANE_NOT_CALLED(unused_get_Filter)
  MIRDANE_NOT_CALLED(unused_put_Filter)
  MIRDANE_NOT_CALLED(unused_get_PageCount)
  MIRDANE_NOT_CALLED(unused_get_PageSize)
  MIRDANE_NOT_CALLED(unused_put_PageSize)
  MIRDANE_NOT_CALLED(unused_get_Sort)
  MIRDANE_NOT_CALLED(unused_put_Sort)
  MIRDANE_NOT_CALLED(unused_get_Status)
  ::HRESULT STDMETHODCALLTYPE get_State(AdoLong* state) override {
    *state = open_ ? 1 : 0;
    return S_OK;
  }
  MIRDANE_NOT_CALLED(unused__xClone)
  MIRDANE_NOT_CALLED(unused_UpdateBatch)
  MIRDANE_NOT_CALLED(unused_CancelBatch)
  MIRDANE_NOT_CALLED(unused_get_CursorLocation)
  ::HRESULT STDMETHODCALLTYPE put_CursorLocation(AdoLong) override {
    return Called("Recordset.CursorLocation");
  }
  MIRDANE_NOT_CALLED(unused_NextRecordset)
  ::HRESULT STDMETHODCALLTYPE Supports(AdoLong options, VARIANT_BOOL* supported) override {
    script_->log.push_back("Recordset.Supports(" + std::to_string(options) + ")");
    *supported = script_->supports_answer;
    return script_->supports_result;
  }
  MIRDANE_NOT_CALLED(unused_get_Collect)
  MIRDANE_NOT_CALLED(unused_put_Collect)
  MIRDANE_NOT_CALLED(unused_get_MarshalOptions)
  ::HRESULT STDMETHODCALLTYPE put_MarshalOptions(AdoLong) override {
    return Called("Recordset.MarshalOptions");
  }

 private:
  bool open_ = true;
};

#undef MIRDANE_NOT_CALLED

}  // namespace

ComPtr<AdoConnection> MakeFakeConnection(std::shared_ptr<FakeAdoScript> script) {
  return ComPtr<AdoConnection>::Attach(new FakeConnection(std::move(script)));
}

ComPtr<AdoRecordset> MakeFakeRecordset(std::shared_ptr<FakeAdoScript> script) {
  return ComPtr<AdoRecordset>::Attach(new FakeRecordset(std::move(script)));
}

}  // namespace dbAx::provider::adodb::test
