// The ADO interfaces that the backend declares, slot by slot, against the
// type library that the platform's ADO ships: every call goes through a
// vtable position, so a slot out of place calls another method.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "dbax/provider/ado/ado_interfaces.h"
#include "win32/com_ptr.h"

namespace dbAx::provider::adodb {
namespace {

using mirdane::win32::Bstr;
using mirdane::win32::ComPtr;

// ADO 2.8's type library (ADODB).
constexpr GUID kAdoLibrary = {
    0x2A75196C, 0xD9EB, 0x4129, {0xB8, 0x03, 0x93, 0x13, 0x27, 0xF7, 0x2D, 0x5C}};

// --- The declarations' side ---------------------------------------------

// A parameter type in the notation used for both sides: "I4", "BSTR",
// "VARIANT", "BOOL", "UI1", "I8", interface names, and a "*" per pointer.
template <typename T>
struct TypeName;
template <typename T>
struct TypeName<T*> {
  static std::string Get() { return TypeName<T>::Get() + "*"; }
};
#define MIRDANE_TYPE_NAME(type, name) \
  template <>                          \
  struct TypeName<type> {              \
    static std::string Get() { return name; } \
  }
MIRDANE_TYPE_NAME(LONG, "I4");
MIRDANE_TYPE_NAME(LONGLONG, "I8");
MIRDANE_TYPE_NAME(BYTE, "UI1");
MIRDANE_TYPE_NAME(VARIANT_BOOL, "BOOL");
MIRDANE_TYPE_NAME(BSTR, "BSTR");
MIRDANE_TYPE_NAME(VARIANT, "VARIANT");
MIRDANE_TYPE_NAME(IDispatch, "IDispatch");
MIRDANE_TYPE_NAME(AdoConnection, "_Connection");
MIRDANE_TYPE_NAME(AdoRecordset, "Recordset15");
MIRDANE_TYPE_NAME(AdoCommand, "Command15");
MIRDANE_TYPE_NAME(AdoFields, "Fields");
MIRDANE_TYPE_NAME(AdoField, "Field");
MIRDANE_TYPE_NAME(AdoErrors, "Errors");
MIRDANE_TYPE_NAME(AdoError, "Error");
#undef MIRDANE_TYPE_NAME

// The byte offset of a virtual method in its vtable: GCC's pointer to a
// virtual member function holds it plus one (the Itanium C++ ABI, which
// mingw-w64's GCC follows).
template <typename Method>
std::ptrdiff_t VtableOffset(Method method) {
  struct Representation {
    std::uintptr_t pointer;
    std::ptrdiff_t adjustment;
  } representation;
  static_assert(sizeof(Method) == sizeof(Representation));
  std::memcpy(&representation, &method, sizeof representation);
  if ((representation.pointer & 1) == 0) return -1;  // not virtual
  return static_cast<std::ptrdiff_t>(representation.pointer - 1);
}

struct Declared {
  std::string interface_name;  // as the type library names it
  std::wstring member;
  INVOKEKIND kind;
  std::ptrdiff_t offset;
  std::vector<std::string> parameters;
};

// A method of `Interface`, which may be declared in one of its bases. In the
// i686 build a method declared without STDMETHODCALLTYPE does not convert to
// this parameter: the calling convention is checked when the suite compiles.
template <typename Interface, typename Declaring, typename... Parameters>
Declared Member(const wchar_t* member, INVOKEKIND kind,
                ::HRESULT (STDMETHODCALLTYPE Declaring::*method)(Parameters...)) {
  static_assert(std::is_base_of_v<Declaring, Interface>);
  return {TypeName<Interface>::Get(), member, kind, VtableOffset(method),
          {TypeName<Parameters>::Get()...}};
}

// Every method the backend calls.
std::vector<Declared> CalledMembers() {
  constexpr INVOKEKIND kGet = INVOKE_PROPERTYGET, kPut = INVOKE_PROPERTYPUT,
                       kPutRef = INVOKE_PROPERTYPUTREF, kCall = INVOKE_FUNC;
  return {
      Member<AdoConnection>(L"Close", kCall, &AdoConnection::Close),
      Member<AdoConnection>(L"Open", kCall, &AdoConnection::Open),
      Member<AdoConnection>(L"Errors", kGet, &AdoConnection::get_Errors),
      Member<AdoConnection>(L"CursorLocation", kPut, &AdoConnection::put_CursorLocation),
      Member<AdoConnection>(L"State", kGet, &AdoConnection::get_State),
      Member<AdoRecordset>(L"CacheSize", kPut, &AdoRecordset::put_CacheSize),
      Member<AdoRecordset>(L"Fields", kGet, &AdoRecordset::get_Fields),
      Member<AdoRecordset>(L"AddNew", kCall, &AdoRecordset::AddNew),
      Member<AdoRecordset>(L"CancelUpdate", kCall, &AdoRecordset::CancelUpdate),
      Member<AdoRecordset>(L"Close", kCall, &AdoRecordset::Close),
      Member<AdoRecordset>(L"Open", kCall, &AdoRecordset::Open),
      Member<AdoRecordset>(L"Update", kCall, &AdoRecordset::Update),
      Member<AdoRecordset>(L"State", kGet, &AdoRecordset::get_State),
      Member<AdoRecordset>(L"CursorLocation", kPut, &AdoRecordset::put_CursorLocation),
      Member<AdoRecordset>(L"Supports", kCall, &AdoRecordset::Supports),
      Member<AdoRecordset>(L"MarshalOptions", kPut, &AdoRecordset::put_MarshalOptions),
      Member<AdoRecordset>(L"EOF", kGet, &AdoRecordset::get_EOF),
      Member<AdoRecordset>(L"MoveNext", kCall, &AdoRecordset::MoveNext),
      Member<AdoCommand>(L"ActiveConnection", kPutRef, &AdoCommand::putref_ActiveConnection),
      Member<AdoCommand>(L"CommandText", kPut, &AdoCommand::put_CommandText),
      Member<AdoCommand>(L"Execute", kCall, &AdoCommand::Execute),
      Member<AdoCommand>(L"CommandType", kPut, &AdoCommand::put_CommandType),
      Member<AdoFields>(L"Count", kGet, &AdoFields::get_Count),
      Member<AdoFields>(L"Item", kGet, &AdoFields::get_Item),
      Member<AdoField>(L"Attributes", kGet, &AdoField::get_Attributes),
      Member<AdoField>(L"DefinedSize", kGet, &AdoField::get_DefinedSize),
      Member<AdoField>(L"Name", kGet, &AdoField::get_Name),
      Member<AdoField>(L"Type", kGet, &AdoField::get_Type),
      Member<AdoField>(L"Value", kGet, &AdoField::get_Value),
      Member<AdoField>(L"Value", kPut, &AdoField::put_Value),
      Member<AdoField>(L"Precision", kGet, &AdoField::get_Precision),
      Member<AdoField>(L"NumericScale", kGet, &AdoField::get_NumericScale),
      Member<AdoErrors>(L"Count", kGet, &AdoErrors::get_Count),
      Member<AdoErrors>(L"Item", kGet, &AdoErrors::get_Item),
      Member<AdoErrors>(L"Clear", kCall, &AdoErrors::Clear),
      Member<AdoError>(L"Number", kGet, &AdoError::get_Number),
      Member<AdoError>(L"Description", kGet, &AdoError::get_Description),
  };
}

// --- The type library's side ---------------------------------------------

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string NameOf(ITypeInfo* info) {
  Bstr name;
  if (FAILED(info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr))) {
    return "?";
  }
  const std::u16string text = name.Text();
  return std::string(text.begin(), text.end());
}

std::string TypeNameOf(ITypeInfo* info, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_PTR: return TypeNameOf(info, *type.lptdesc) + "*";
    case VT_I4: return "I4";
    case VT_I8: return "I8";
    case VT_UI1: return "UI1";
    case VT_BOOL: return "BOOL";
    case VT_BSTR: return "BSTR";
    case VT_VARIANT: return "VARIANT";
    case VT_DISPATCH: return "IDispatch*";
    case VT_UNKNOWN: return "IUnknown*";
    case VT_USERDEFINED: {
      ComPtr<ITypeInfo> referenced;
      if (FAILED(info->GetRefTypeInfo(type.hreftype, referenced.put()))) return "?";
      TYPEATTR* attributes = nullptr;
      if (FAILED(referenced->GetTypeAttr(&attributes))) return "?";
      std::string name;
      switch (attributes->typekind) {
        case TKIND_ENUM: name = "I4"; break;  // ADO's enumerations are 4-byte integers
        case TKIND_ALIAS: name = TypeNameOf(referenced.get(), attributes->tdescAlias); break;
        default: name = NameOf(referenced.get()); break;
      }
      referenced->ReleaseTypeAttr(attributes);
      return name;
    }
    default: return "vt" + std::to_string(type.vt);
  }
}

struct Described {
  bool found = false;
  std::ptrdiff_t offset = -1;
  std::vector<std::string> parameters;
};

// The vtable half of a dual interface.
ComPtr<ITypeInfo> VtableInfo(ComPtr<ITypeInfo> info) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes))) return {};
  const bool dispatch_half = attributes->typekind == TKIND_DISPATCH;
  info->ReleaseTypeAttr(attributes);
  if (!dispatch_half) return info;
  HREFTYPE reference = 0;
  ComPtr<ITypeInfo> vtable;
  // Implemented type -1 of a dual interface's dispatch half is its vtable half.
  if (FAILED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference)) ||
      FAILED(info->GetRefTypeInfo(reference, vtable.put()))) {
    return {};
  }
  return vtable;
}

// Looks `member` of `kind` up in the interface and the ones it derives from.
Described Describe(ComPtr<ITypeInfo> info, const std::wstring& member, INVOKEKIND kind) {
  while (info) {
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes))) return {};
    const WORD functions = attributes->cFuncs;
    const WORD bases = attributes->cImplTypes;
    info->ReleaseTypeAttr(attributes);
    for (WORD i = 0; i < functions; ++i) {
      FUNCDESC* function = nullptr;
      if (FAILED(info->GetFuncDesc(i, &function))) continue;
      Bstr name;
      info->GetDocumentation(function->memid, name.put(), nullptr, nullptr, nullptr);
      const std::u16string text = name.Text();
      if (function->invkind == kind && std::wstring(text.begin(), text.end()) == member) {
        Described found{true, function->oVft, {}};
        for (SHORT p = 0; p < function->cParams; ++p) {
          found.parameters.push_back(TypeNameOf(info.get(), function->lprgelemdescParam[p].tdesc));
        }
        info->ReleaseFuncDesc(function);
        return found;
      }
      info->ReleaseFuncDesc(function);
    }
    if (bases == 0) break;
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> base;
    if (FAILED(info->GetRefTypeOfImplType(0, &reference)) ||
        FAILED(info->GetRefTypeInfo(reference, base.put()))) {
      break;
    }
    info = base;
  }
  return {};
}

class AdoLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::LoadRegTypeLib(kAdoLibrary, 2, 8, 0, library_.put()), S_OK)
        << "ADO's type library (ADODB 2.8) is not registered";
  }

  ComPtr<ITypeInfo> InfoOf(REFGUID id) {
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(library_->GetTypeInfoOfGuid(id, info.put()), S_OK);
    return info;
  }

  ComPtr<ITypeLib> library_;
};

TEST_F(AdoLayout, TheDeclaredIdsAreTheLibrarysClassesAndInterfaces) {
  const struct {
    const GUID* id;
    const char* name;
  } ids[] = {{&kConnectionClass, "Connection"},     {&kRecordsetClass, "Recordset"},
             {&kCommandClass, "Command"},           {&kCommandInterface, "Command15"},
             {&kConnectionInterface, "_Connection"}, {&kRecordsetInterface, "Recordset15"},
             {&kFieldsInterface, "Fields"},          {&kFieldInterface, "Field"},
             {&kErrorsInterface, "Errors"},          {&kErrorInterface, "Error"}};
  for (const auto& id : ids) {
    auto info = InfoOf(*id.id);
    ASSERT_TRUE(info) << id.name;
    // A type library keeps one spelling per name, whichever came first
    // (Wine's has "command" from a parameter): names compare without case.
    EXPECT_EQ(Lower(NameOf(info.get())), Lower(id.name));
  }
}

TEST_F(AdoLayout, EveryCalledMethodSitsInItsSlotWithItsKindAndParameters) {
  const struct {
    const char* name;
    const GUID* id;
  } interfaces[] = {{"_Connection", &kConnectionInterface}, {"Recordset15", &kRecordsetInterface},
                    {"Command15", &kCommandInterface},
                    {"Fields", &kFieldsInterface},          {"Field", &kFieldInterface},
                    {"Errors", &kErrorsInterface},          {"Error", &kErrorInterface}};
  int checked = 0;
  for (const Declared& declared : CalledMembers()) {
    const std::string where = declared.interface_name + "." + Narrow(declared.member) +
                              " (invoke kind " + std::to_string(declared.kind) + ")";
    const GUID* id = nullptr;
    for (const auto& known : interfaces) {
      if (declared.interface_name == known.name) id = known.id;
    }
    ASSERT_NE(id, nullptr) << where;
    const auto vtable = VtableInfo(InfoOf(*id));
    ASSERT_TRUE(vtable) << where;
    const Described described = Describe(vtable, declared.member, declared.kind);
    ASSERT_TRUE(described.found) << where << " is not in the type library";
    EXPECT_EQ(declared.offset, described.offset) << where;
    std::vector<std::string> expected = declared.parameters;
    // Execute hands back a _Recordset; the backend calls only the slots it
    // begins with, those of Recordset15, through which it is declared.
    if (declared.interface_name == "Command15" && declared.member == L"Execute" &&
        !expected.empty() && expected.back() == "Recordset15**") {
      expected.back() = "_Recordset**";
    }
    EXPECT_EQ(expected, described.parameters) << where;
    ++checked;
  }
  EXPECT_EQ(checked, 37);
}

// The slot arithmetic itself, so that a broken reading of member pointers
// cannot make every comparison above pass or fail together.
TEST(AdoVtableOffsets, CountFromQueryInterfaceInPointerSizedSlots) {
  using QueryInterfaceMethod = ::HRESULT (STDMETHODCALLTYPE IUnknown::*)(REFIID, void**);
  EXPECT_EQ(VtableOffset(static_cast<QueryInterfaceMethod>(&IUnknown::QueryInterface)), 0);
  EXPECT_EQ(VtableOffset(&IDispatch::Invoke), 6 * static_cast<std::ptrdiff_t>(sizeof(void*)));
  EXPECT_EQ(VtableOffset(&AdoConnection::unused_get_ConnectionString),
            8 * static_cast<std::ptrdiff_t>(sizeof(void*)));
}

}  // namespace
}  // namespace dbAx::provider::adodb
