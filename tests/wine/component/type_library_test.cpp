// The type library the module carries, as a client reads it once registered.
#include <gtest/gtest.h>

#include "tests/wine/component/wine_support.h"

namespace mirdane::wine_test {
namespace {

using win32::ComPtr;

struct Member {
  const wchar_t* name;
  DISPID id;
  INVOKEKIND kind;
};

ComPtr<ITypeLib> RegisteredLibrary() {
  ComPtr<ITypeLib> library;
  EXPECT_EQ(::LoadRegTypeLib(LIBID_mirdane, 1, 0, 0, library.put()), S_OK);
  return library;
}

// The vtable half of a dual interface, with its functions in slot order.
void ExpectVtable(REFIID iid, const std::vector<Member>& members) {
  auto library = RegisteredLibrary();
  ASSERT_TRUE(library);
  ComPtr<ITypeInfo> dispatch;
  ASSERT_EQ(library->GetTypeInfoOfGuid(iid, dispatch.put()), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(dispatch->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
  EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
  dispatch->ReleaseTypeAttr(attributes);

  HREFTYPE reference = 0;
  ASSERT_EQ(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference), S_OK);
  ComPtr<ITypeInfo> vtable;
  ASSERT_EQ(dispatch->GetRefTypeInfo(reference, vtable.put()), S_OK);
  ASSERT_EQ(vtable->GetTypeAttr(&attributes), S_OK);
  ASSERT_EQ(attributes->cFuncs, members.size());
  vtable->ReleaseTypeAttr(attributes);

  for (UINT i = 0; i < members.size(); ++i) {
    FUNCDESC* desc = nullptr;
    ASSERT_EQ(vtable->GetFuncDesc(i, &desc), S_OK);
    BSTR name = nullptr;
    UINT count = 0;
    vtable->GetNames(desc->memid, &name, 1, &count);
    EXPECT_STREQ(name, members[i].name) << "slot " << i;
    EXPECT_EQ(desc->memid, members[i].id) << "slot " << i;
    EXPECT_EQ(desc->invkind, members[i].kind) << "slot " << i;
    // After IUnknown's three and IDispatch's four slots, in this order.
    EXPECT_EQ(desc->oVft, static_cast<SHORT>((7 + i) * sizeof(void*))) << "slot " << i;
    ::SysFreeString(name);
    vtable->ReleaseFuncDesc(desc);
  }
}

TEST(TypeLibrary, HoldsThirtyOneTypeDescriptionsUnderItsOwnName) {
  auto library = RegisteredLibrary();
  ASSERT_TRUE(library);
  EXPECT_EQ(library->GetTypeInfoCount(), 31u);
  BSTR name = nullptr;
  ASSERT_EQ(library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr), S_OK);
  EXPECT_STREQ(name, L"mirdane");
  ::SysFreeString(name);
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
  EXPECT_TRUE(IsEqualGUID(attributes->guid, LIBID_mirdane));
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  EXPECT_EQ(attributes->lcid, 0u);
  library->ReleaseTLibAttr(attributes);

  // Every host interface and enumeration the script members use is there.
  for (const wchar_t* type :
       {L"IReleaseData", L"IReleaseSetupData", L"ICustomProperties", L"ICustomProperty",
        L"IValues", L"IValue", L"ILinks", L"ILink", L"IIndexFields", L"IIndexField",
        L"IBatchFields", L"IBatchField", L"ITextFiles", L"ITextFile", L"IImageFiles",
        L"IImageFile", L"IKfxPDFFiles", L"IKfxPDFFile", L"KfxReturnValue", L"KfxActionValue"}) {
    ComPtr<ITypeInfo> info;
    MEMBERID id = 0;
    USHORT found = 1;
    std::wstring text = type;
    EXPECT_EQ(library->FindName(text.data(), 0, info.put(), &id, &found), S_OK);
    EXPECT_EQ(found, 1) << std::string(text.begin(), text.end());
  }
}

TEST(TypeLibrary, TheReleaseInterfaceHasItsSlotsAndIds) {
  ExpectVtable(IID_IKfxReleaseScript,
               {{L"OpenScript", 0x60030000, INVOKE_FUNC},
                {L"ReleaseDoc", 0x60030001, INVOKE_FUNC},
                {L"CloseScript", 0x60030002, INVOKE_FUNC},
                {L"DocumentData", 0x60030003, INVOKE_PROPERTYGET},
                {L"DocumentData", 0x60030003, INVOKE_PROPERTYPUTREF}});
}

TEST(TypeLibrary, TheSetupInterfaceHasItsSlotsAndIds) {
  ExpectVtable(IID_IKfxReleaseSetupScript,
               {{L"OpenScript", 0x60020000, INVOKE_FUNC},
                {L"RunUI", 0x60020001, INVOKE_FUNC},
                {L"CloseScript", 0x60020002, INVOKE_FUNC},
                {L"ActionEvent", 0x60020003, INVOKE_FUNC},
                {L"SetupData", 0x60020004, INVOKE_PROPERTYGET},
                {L"SetupData", 0x60020004, INVOKE_PROPERTYPUTREF}});
}

TEST(TypeLibrary, TheReturnValuesAreTheHostsNumbers) {
  auto library = RegisteredLibrary();
  ASSERT_TRUE(library);
  ComPtr<ITypeInfo> info;
  MEMBERID id = 0;
  USHORT found = 1;
  std::wstring name = L"KFX_REL_ERROR";
  ASSERT_EQ(library->FindName(name.data(), 0, info.put(), &id, &found), S_OK);
  ASSERT_EQ(found, 1);
  VARDESC* desc = nullptr;
  UINT index = 0;
  ComPtr<ITypeInfo2> info2;
  ASSERT_EQ(info.As(&info2), S_OK);
  ASSERT_EQ(info2->GetVarIndexOfMemId(id, &index), S_OK);
  ASSERT_EQ(info->GetVarDesc(index, &desc), S_OK);
  EXPECT_EQ(desc->lpvarValue->lVal, -1);
  info->ReleaseVarDesc(desc);
}

}  // namespace
}  // namespace mirdane::wine_test
