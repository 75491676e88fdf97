#include "dbax/provider/ado/ado_values.h"

#include <oleauto.h>

namespace dbAx::provider::adodb {

using mirdane::VarType;

HRESULT ToVariant(const mirdane::Variant& value, VARIANT* out) {
  ::VariantInit(out);
  switch (value.type()) {
    case VarType::Empty:
      return S_OK;
    case VarType::Null:
      out->vt = VT_NULL;
      return S_OK;
    case VarType::BStr: {
      const std::u16string& text = *value.AsText();
      // SysAllocStringLen gives a real empty string for an empty text.
      BSTR copy = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                      static_cast<UINT>(text.size()));
      if (!copy) return E_OUTOFMEMORY;
      out->vt = VT_BSTR;
      out->bstrVal = copy;
      return S_OK;
    }
    case VarType::I2:
      out->vt = VT_I2;
      out->iVal = static_cast<SHORT>(*value.AsInteger());
      return S_OK;
    case VarType::I4:
      out->vt = VT_I4;
      out->lVal = static_cast<LONG>(*value.AsInteger());
      return S_OK;
    case VarType::Int:
      out->vt = VT_INT;
      out->intVal = static_cast<INT>(*value.AsInteger());
      return S_OK;
    case VarType::I8:
      out->vt = VT_I8;
      out->llVal = *value.AsInteger();
      return S_OK;
    case VarType::UI1:
      out->vt = VT_UI1;
      out->bVal = static_cast<BYTE>(*value.AsInteger());
      return S_OK;
    case VarType::Bool:
      out->vt = VT_BOOL;
      out->boolVal = static_cast<VARIANT_BOOL>(*value.AsInteger() != 0 ? -1 : 0);
      return S_OK;
    case VarType::R4:
    case VarType::R8:
      out->vt = VT_R8;
      out->dblVal = *value.AsDouble();
      return S_OK;
    case VarType::Error:
      out->vt = VT_ERROR;
      out->scode = static_cast<SCODE>(*value.AsInteger());
      return S_OK;
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

VARIANT MissingArgument() {
  VARIANT missing;
  ::VariantInit(&missing);
  missing.vt = VT_ERROR;
  missing.scode = DISP_E_PARAMNOTFOUND;
  return missing;
}

}  // namespace dbAx::provider::adodb
