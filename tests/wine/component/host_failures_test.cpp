// Host objects that fail, raise errors, lack members or answer with values of
// the wrong kind: the release takes its failure path and the process lives.
#include <gtest/gtest.h>

#include "tools/com_host/automation_object.h"
#include "tests/wine/component/wine_support.h"

namespace mirdane::wine_test {
namespace {

using win32::ComPtr;
using win32::DispatchArg;
using win32::DispatchObject;
using win32::UniqueVariant;

// A release data object whose members the test writes one by one.
class ScriptedHost final : public hostcom::AutomationObject {
 public:
  using Body = hostcom::MemberBody;
  void Get(const wchar_t* name, DISPID id, Body body) { AddGetter(name, id, std::move(body)); }
  void Method(const wchar_t* name, DISPID id, Body body) { AddMethod(name, id, std::move(body)); }

  std::vector<std::u16string> logged;

  // The members a release reaches before the values: texts and a log.
  void AddBasics() {
    for (auto [name, id] : {std::pair{L"KofaxPDFFileName", 1}, std::pair{L"ConnectString", 2},
                            std::pair{L"UserName", 3}, std::pair{L"Password", 4}}) {
      Get(name, id, [](const std::vector<Variant>&, VARIANT* r) -> ::HRESULT {
        return hostcom::ReturnText(u"", r);
      });
    }
    Method(L"LogError", 20, [this](const std::vector<Variant>& args, VARIANT*) -> ::HRESULT {
      if (args.size() == 6 && args[3].AsText()) logged.push_back(*args[3].AsText());
      return S_OK;
    });
    Method(L"SendMessage", 21, [](const std::vector<Variant>&, VARIANT*) -> ::HRESULT {
      return S_OK;
    });
  }
};

LONG ReleaseWith(IDispatch* host) {
  auto created = CreateByProgId(L"mirdane.LorvenExportConnector");
  EXPECT_TRUE(created);
  if (!created) return 99;
  DispatchObject script(created);
  EXPECT_EQ(script.PutRef(L"DocumentData", DispatchArg::Object(host)), S_OK);
  UniqueVariant result;
  EXPECT_EQ(script.Call(L"ReleaseDoc", {}, &result), S_OK);
  LONG value = 99;
  win32::LongOf(*result.get(), &value);
  UniqueVariant closed;
  script.Call(L"CloseScript", {}, &closed);
  return value;
}

TEST(HostFailures, ReleaseDataWithoutAnyMember) {
  auto* bare = new ScriptedHost;  // answers no name at all
  ComPtr<IDispatch> host = ComPtr<IDispatch>::Attach(bare);
  EXPECT_EQ(ReleaseWith(host.get()), KFX_REL_ERROR);
}

TEST(HostFailures, ValuesThatCannotBeObtainedAreReportedOnce) {
  auto* raw = new ScriptedHost;
  ComPtr<IDispatch> host = ComPtr<IDispatch>::Attach(raw);
  raw->AddBasics();
  raw->Get(L"Values", 9, [](const std::vector<Variant>&, VARIANT* r) -> ::HRESULT {
    return hostcom::ReturnText(u"not a collection", r);  // the wrong kind of value
  });
  EXPECT_EQ(ReleaseWith(host.get()), KFX_REL_ERROR);
  ASSERT_EQ(raw->logged.size(), 1u);
  EXPECT_EQ(raw->logged[0], u"Failed to get values");
}

TEST(HostFailures, CollectionsThatRaiseErrorsOrAnswerNonsense) {
  struct Case {
    const char* what;
    hostcom::MemberBody count;
    hostcom::MemberBody item;
  };
  auto text = [](const std::vector<Variant>&, VARIANT* r) -> ::HRESULT {
    return hostcom::ReturnText(u"7", r);
  };
  auto two = [](const std::vector<Variant>&, VARIANT* r) -> ::HRESULT {
    return hostcom::ReturnLong(2, r);
  };
  auto raises = [](const std::vector<Variant>&, VARIANT*) -> ::HRESULT {
    return DISP_E_EXCEPTION;
  };
  auto nothing = [](const std::vector<Variant>&, VARIANT* r) -> ::HRESULT {
    r->vt = VT_DISPATCH;
    r->pdispVal = nullptr;
    return S_OK;
  };
  const Case cases[] = {
      {"a count that is a text", text, nothing},
      {"an item that raises an error", two, raises},
      {"an item that is Nothing", two, nothing},
      {"a count that raises an error", raises, nothing},
  };
  for (const auto& c : cases) {
    auto* values = new ScriptedHost;
    ComPtr<IDispatch> valuesObject = ComPtr<IDispatch>::Attach(values);
    values->Get(L"Count", 1, c.count);
    values->Get(L"Item", 0, c.item);
    auto* raw = new ScriptedHost;
    ComPtr<IDispatch> host = ComPtr<IDispatch>::Attach(raw);
    raw->AddBasics();
    raw->Get(L"Values", 9, [valuesObject](const std::vector<Variant>&, VARIANT* r) -> ::HRESULT {
      valuesObject->AddRef();
      return hostcom::ReturnObject(valuesObject.get(), r);
    });
    EXPECT_EQ(ReleaseWith(host.get()), KFX_REL_ERROR) << c.what;
    EXPECT_FALSE(raw->logged.empty()) << c.what << ": the failure is reported";
  }
}

// A collection's enumerator is asked for by DISPID_NEWENUM, whatever the
// collection calls the member; by the name _NewEnum only when the id fails.
TEST(HostObjects, ACollectionsEnumeratorByItsStandardIdElseByName) {
  auto* elements = new ScriptedHost;
  ComPtr<IDispatch> enumerator = ComPtr<IDispatch>::Attach(elements);
  auto answer = [enumerator](const std::vector<Variant>&, VARIANT* r) -> ::HRESULT {
    enumerator->AddRef();
    return hostcom::ReturnObject(enumerator.get(), r);
  };
  auto* byId = new ScriptedHost;  // knows no name _NewEnum
  auto* byName = new ScriptedHost;  // no DISPID_NEWENUM
  auto* neither = new ScriptedHost;
  byId->Get(L"Elements", DISPID_NEWENUM, answer);
  byName->Get(L"_NewEnum", 7, answer);
  for (auto [object, found] : {std::pair{byId, true}, std::pair{byName, true},
                               std::pair{neither, false}}) {
    DispatchObject collection(ComPtr<IDispatch>::Attach(object));
    UniqueVariant value;
    const ::HRESULT got = collection.Enumerator(&value);
    EXPECT_EQ(SUCCEEDED(got), found);
    if (found) {
      EXPECT_EQ(value.get()->pdispVal, enumerator.get());
    }
  }
}

}  // namespace
}  // namespace mirdane::wine_test
