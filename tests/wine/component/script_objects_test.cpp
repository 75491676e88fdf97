// The two script classes created by ProgID and called as a host calls them:
// through the vtable and by name through IDispatch.
#include <gtest/gtest.h>

#include "tools/com_host/automation_host.h"
#include "tests/wine/component/wine_support.h"

namespace mirdane::wine_test {
namespace {

using win32::ComPtr;
using win32::DispatchArg;
using win32::DispatchObject;
using win32::UniqueVariant;

ComPtr<IKfxReleaseScript> CreateReleaseScript() {
  ComPtr<IKfxReleaseScript> script;
  auto object = CreateByProgId(L"mirdane.LorvenExportConnector");
  if (object) object.As(IID_IKfxReleaseScript, &script);
  return script;
}

ComPtr<IKfxReleaseSetupScript> CreateSetupScript() {
  ComPtr<IKfxReleaseSetupScript> script;
  auto object = CreateByProgId(L"mirdane.CppdSetupScript");
  if (object) object.As(IID_IKfxReleaseSetupScript, &script);
  return script;
}

// A host object that offers IDispatch only, as the capture host's do.
ComPtr<IDispatch> HostReleaseData(std::shared_ptr<RecordingReleaseData> data) {
  return ComPtr<IDispatch>::Attach(hostcom::ExposeReleaseData(std::move(data)));
}

LONG CallForResult(DispatchObject& script, const wchar_t* name,
                   std::initializer_list<const DispatchArg*> args = {}) {
  UniqueVariant result;
  EXPECT_EQ(script.Call(name, args, &result), S_OK) << "calling " << name;
  LONG value = 99;
  EXPECT_EQ(win32::LongOf(*result.get(), &value), S_OK);
  return value;
}

TEST(ReleaseScript, EveryMemberThroughTheVtable) {
  auto script = CreateReleaseScript();
  ASSERT_TRUE(script) << "mirdane.LorvenExportConnector cannot be created";
  KfxReturnValue result = KFX_REL_ERROR;
  EXPECT_EQ(script->OpenScript(&result), S_OK);
  EXPECT_EQ(result, KFX_REL_SUCCESS);

  // Without release data there is nothing to release, and nothing crashes.
  result = KFX_REL_SUCCESS;
  EXPECT_EQ(script->ReleaseDoc(&result), S_OK);
  EXPECT_EQ(result, KFX_REL_ERROR);

  IReleaseData* held = reinterpret_cast<IReleaseData*>(1);
  EXPECT_EQ(script->get_DocumentData(&held), S_OK);
  EXPECT_EQ(held, nullptr);

  auto data = std::make_shared<RecordingReleaseData>();
  auto host = HostReleaseData(data);
  EXPECT_EQ(script->putref_DocumentData(reinterpret_cast<IReleaseData*>(host.get())), S_OK);
  EXPECT_EQ(script->get_DocumentData(&held), S_OK);
  const auto owned = ComPtr<IReleaseData>::Attach(held);
  EXPECT_EQ(static_cast<IUnknown*>(owned.get()), static_cast<IUnknown*>(host.get()))
      << "the host's own object comes back";

  EXPECT_EQ(script->CloseScript(&result), S_OK);
  EXPECT_EQ(result, KFX_REL_SUCCESS);
  EXPECT_EQ(script->get_DocumentData(&held), S_OK);
  EXPECT_EQ(held, nullptr) << "CloseScript drops the release data";
  EXPECT_EQ(script->OpenScript(nullptr), E_POINTER);
}

TEST(ReleaseScript, ByNameThroughIDispatchWithAHostObjectThatIsOnlyIDispatch) {
  auto created = CreateByProgId(L"mirdane.LorvenExportConnector");
  ASSERT_TRUE(created);
  DispatchObject script(created);

  for (const auto& [name, id] : std::initializer_list<std::pair<const wchar_t*, DISPID>>{
           {L"OpenScript", 0x60030000}, {L"ReleaseDoc", 0x60030001},
           {L"CloseScript", 0x60030002}, {L"DocumentData", 0x60030003}}) {
    DISPID found = 0;
    EXPECT_EQ(script.IdOf(name, &found), S_OK);
    EXPECT_EQ(found, id);
  }
  EXPECT_EQ(CallForResult(script, L"OpenScript"), KFX_REL_SUCCESS);

  // A connection that cannot open fails the document with the reason logged.
  auto data = std::make_shared<RecordingReleaseData>();
  data->connectString = u"odbc:DRIVER={No Such Driver}";
  auto host = HostReleaseData(data);
  ASSERT_EQ(script.PutRef(L"DocumentData", DispatchArg::Object(host.get())), S_OK);
  UniqueVariant got;
  ASSERT_EQ(script.Get(L"DocumentData", {}, &got), S_OK);
  ASSERT_EQ(got.get()->vt, VT_DISPATCH);
  EXPECT_EQ(got.get()->pdispVal, host.get());

  EXPECT_EQ(CallForResult(script, L"ReleaseDoc"), KFX_REL_ERROR);
  ASSERT_EQ(data->log.size(), 1u);
  EXPECT_EQ(data->log[0].severity, 1);
  EXPECT_EQ(data->log[0].codeModule, u".\\releaseScript");
  EXPECT_EQ(Narrow(data->log[0].message).rfind("Error in ReleaseDoc: CAxConnection::Open", 0), 0u)
      << Narrow(data->log[0].message);
  EXPECT_EQ(data->messages.size(), 1u) << "errors also reach the status display";

  EXPECT_EQ(CallForResult(script, L"CloseScript"), KFX_REL_SUCCESS);
}

// A host may ask for the KfxReturnValue as one by-reference argument instead
// of the result variant; both work.
TEST(ReleaseScript, TheResultMayComeBackThroughAReference) {
  auto created = CreateByProgId(L"mirdane.LorvenExportConnector");
  ASSERT_TRUE(created);
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(L"ReleaseDoc");
  ASSERT_EQ(created->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);

  LONG result = 42;
  VARIANT arg;
  arg.vt = VT_BYREF | VT_I4;
  arg.plVal = &result;
  DISPPARAMS params{&arg, nullptr, 1, 0};
  EXPECT_EQ(created->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(result, KFX_REL_ERROR) << "no release data held";

  VARIANT inner;
  ::VariantInit(&inner);
  arg.vt = VT_BYREF | VT_VARIANT;
  arg.pvarVal = &inner;
  name = const_cast<LPOLESTR>(L"OpenScript");
  ASSERT_EQ(created->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
  EXPECT_EQ(created->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
            S_OK);
  LONG opened = 42;
  EXPECT_EQ(win32::LongOf(inner, &opened), S_OK);
  EXPECT_EQ(opened, KFX_REL_SUCCESS);
  ::VariantClear(&inner);
}

TEST(ReleaseScript, AssigningSomethingThatIsNotAnObjectIsRefused) {
  auto created = CreateByProgId(L"mirdane.LorvenExportConnector");
  ASSERT_TRUE(created);
  DispatchObject script(created);
  EXPECT_EQ(script.PutRef(L"DocumentData", DispatchArg::Text(u"not an object")),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(script.PutRef(L"DocumentData", DispatchArg::Object(nullptr)), S_OK)
      << "Nothing lets the data go";
}

TEST(SetupScript, EveryMemberThroughTheVtable) {
  auto script = CreateSetupScript();
  ASSERT_TRUE(script) << "mirdane.CppdSetupScript cannot be created";
  KfxReturnValue result = KFX_REL_ERROR;
  EXPECT_EQ(script->OpenScript(&result), S_OK);
  EXPECT_EQ(result, KFX_REL_SUCCESS);
  EXPECT_EQ(script->CloseScript(&result), S_OK);
  EXPECT_EQ(result, KFX_REL_SUCCESS);

  win32::Bstr before(u"old"), after(u"new");
  struct Case {
    LONG action;
    KfxReturnValue expected;
  };
  for (const Case& c : {Case{-1, KFX_REL_UNSUPPORTED}, Case{0, KFX_REL_SUCCESS},
                        Case{4, KFX_REL_SUCCESS}, Case{13, KFX_REL_SUCCESS},
                        Case{14, KFX_REL_UNSUPPORTED}, Case{19, KFX_REL_UNSUPPORTED},
                        Case{100, KFX_REL_UNSUPPORTED}}) {
    result = KFX_REL_ERROR;
    EXPECT_EQ(script->ActionEvent(static_cast<KfxActionValue>(c.action), before.get(), after.get(),
                                  &result),
              S_OK);
    EXPECT_EQ(result, c.expected) << "action " << c.action;
  }

  IReleaseSetupData* held = reinterpret_cast<IReleaseSetupData*>(1);
  EXPECT_EQ(script->get_SetupData(&held), S_OK);
  EXPECT_EQ(held, nullptr);
}

TEST(SetupScript, ByNameThroughIDispatch) {
  auto created = CreateByProgId(L"mirdane.CppdSetupScript");
  ASSERT_TRUE(created);
  DispatchObject script(created);
  for (const auto& [name, id] : std::initializer_list<std::pair<const wchar_t*, DISPID>>{
           {L"OpenScript", 0x60020000}, {L"RunUI", 0x60020001}, {L"CloseScript", 0x60020002},
           {L"ActionEvent", 0x60020003}, {L"SetupData", 0x60020004}}) {
    DISPID found = 0;
    EXPECT_EQ(script.IdOf(name, &found), S_OK);
    EXPECT_EQ(found, id);
  }
  EXPECT_EQ(CallForResult(script, L"OpenScript"), KFX_REL_SUCCESS);
  const auto rename = DispatchArg::I4(4), text = DispatchArg::Text(u"x");
  EXPECT_EQ(CallForResult(script, L"ActionEvent", {&rename, &text, &text}), KFX_REL_SUCCESS);
  const auto undefined = DispatchArg::I4(-1);
  EXPECT_EQ(CallForResult(script, L"ActionEvent", {&undefined, &text, &text}), KFX_REL_UNSUPPORTED);

  // Setup data offering IDispatch only is held and handed back as it came.
  auto fake = CreateByProgId(L"mirdane.LorvenExportConnector");  // any automation object
  ASSERT_EQ(script.PutRef(L"SetupData", DispatchArg::Object(fake.get())), S_OK);
  UniqueVariant got;
  ASSERT_EQ(script.Get(L"SetupData", {}, &got), S_OK);
  ASSERT_EQ(got.get()->vt, VT_DISPATCH);
  EXPECT_EQ(got.get()->pdispVal, fake.get());
  EXPECT_EQ(CallForResult(script, L"CloseScript"), KFX_REL_SUCCESS);
}

// An outer object may aggregate a script: it gets the inner IUnknown, and
// the script's interfaces answer through the outer object.
TEST(ScriptObjects, CanBeAggregated) {
  struct Outer : IUnknown {
    LONG references = 1;
    IUnknown* inner = nullptr;
    ::HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
      if (IsEqualIID(iid, IID_IUnknown)) {
        *out = this;
        AddRef();
        return S_OK;
      }
      return inner ? inner->QueryInterface(iid, out) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }
  } outer;

  CLSID clsid{};
  ASSERT_EQ(::CLSIDFromProgID(L"mirdane.LorvenExportConnector", &clsid), S_OK);
  IUnknown* refused = nullptr;
  EXPECT_EQ(::CoCreateInstance(clsid, &outer, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&refused)),
            CLASS_E_NOAGGREGATION);
  ASSERT_EQ(::CoCreateInstance(clsid, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&outer.inner)),
            S_OK);
  IKfxReleaseScript* script = nullptr;
  ASSERT_EQ(outer.QueryInterface(IID_IKfxReleaseScript, reinterpret_cast<void**>(&script)), S_OK);
  const LONG before = outer.references;
  script->AddRef();
  EXPECT_EQ(outer.references, before + 1) << "counted by the outer object";
  script->Release();
  IUnknown* back = nullptr;
  ASSERT_EQ(script->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&back)), S_OK);
  EXPECT_EQ(back, static_cast<IUnknown*>(&outer)) << "identity is the outer object's";
  back->Release();
  KfxReturnValue result = KFX_REL_ERROR;
  EXPECT_EQ(script->OpenScript(&result), S_OK);
  EXPECT_EQ(result, KFX_REL_SUCCESS);
  script->Release();
  outer.inner->Release();  // the inner object goes
}

}  // namespace
}  // namespace mirdane::wine_test
