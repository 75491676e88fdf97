// An in-memory ReleaseSetupData that records every call that changes it,
// refuses keys of the wrong variant type as the host does, and can be told to
// fail chosen calls.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/host_objects.h"

namespace mirdane::test {

struct FakeLink {
  std::u16string source;
  std::int32_t sourceType = 0;
  std::u16string destination;
  friend bool operator==(const FakeLink&, const FakeLink&) = default;
};

class FakeSetupData final : public kfx::ReleaseSetupData {
 public:
  // What the host holds; tests set and read these directly.
  std::u16string batchClass = u"AP Invoices", docClass = u"Invoice";
  std::u16string name, connectString, userName, password;
  std::vector<std::pair<std::u16string, std::u16string>> properties;
  std::vector<FakeLink> links;
  std::vector<std::u16string> indexFields;
  std::vector<std::u16string> captureValues;
  // Offer the variable names under the alternate interface id only.
  bool alternateNamesInterface = false;

  // Calls to fail, by the names used in `calls` or a getter's name ("get_Links").
  std::set<std::string> failing;
  // Every call that changes something, in order: "put_Name", "Links.RemoveAll",
  // "Links.Add UAGYCPP.GYABNT", "CustomProperties.Add serverAPILibrary", "Apply".
  std::vector<std::string> calls;

  bool Fails(const std::string& call) const { return failing.count(call) != 0; }
  void Record(std::string call) { calls.push_back(std::move(call)); }

  HRESULT get_BatchClassName(std::u16string* text) override { return Get("get_BatchClassName", batchClass, text); }
  HRESULT get_DocClassName(std::u16string* text) override { return Get("get_DocClassName", docClass, text); }
  HRESULT get_Name(std::u16string* text) override { return Get("get_Name", name, text); }
  HRESULT get_ConnectString(std::u16string* text) override { return Get("get_ConnectString", connectString, text); }
  HRESULT get_UserName(std::u16string* text) override { return Get("get_UserName", userName, text); }
  HRESULT get_Password(std::u16string* text) override { return Get("get_Password", password, text); }
  HRESULT put_Name(const std::u16string& text) override { return Put("put_Name", name, text); }
  HRESULT put_ConnectString(const std::u16string& text) override { return Put("put_ConnectString", connectString, text); }
  HRESULT put_UserName(const std::u16string& text) override { return Put("put_UserName", userName, text); }
  HRESULT put_Password(const std::u16string& text) override { return Put("put_Password", password, text); }
  HRESULT get_CustomProperties(std::shared_ptr<kfx::CustomProperties>* out) override;
  HRESULT get_Links(std::shared_ptr<kfx::Links>* out) override;
  HRESULT get_IndexFields(std::shared_ptr<kfx::IndexFields>* out) override;
  HRESULT get_BatchVariableNames(std::shared_ptr<Object>* out) override;
  HRESULT Apply() override;

 private:
  HRESULT Get(const char* call, const std::u16string& value, std::u16string* out);
  HRESULT Put(const char* call, std::u16string& field, const std::u16string& value);
};

}  // namespace mirdane::test
