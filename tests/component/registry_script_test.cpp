// The module's registry scripts read as the registrar reads them.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "base/text.h"
#include "component/registrar/registry_script.h"

namespace mirdane::component {
namespace {

std::u16string ReadScript(const std::string& name) {
  std::ifstream file(std::string(MIRDANE_SOURCE_DIR) + "/component/registrar/" + name);
  std::stringstream text;
  text << file.rdbuf();
  return Utf8ToUtf16(text.str());
}

const RegistryKey* Find(const std::vector<RegistryKey>& keys, const std::u16string& name) {
  for (const auto& key : keys) {
    if (key.name == name) return &key;
  }
  return nullptr;
}

const RegistryValue* Named(const RegistryKey& key, const std::u16string& name) {
  for (const auto& [n, value] : key.values) {
    if (n == name) return &value;
  }
  return nullptr;
}

// The replacements the module passes: a script's own first, then the
// module's path, then the module's empty AppID.
Replacements ModuleReplacements(const std::u16string& appId) {
  Replacements replacements;
  if (!appId.empty()) replacements.Add(u"APPID", appId);
  replacements.Add(u"MODULE", u"C:\\Program Files\\O'Neil\\mirdane.dll");
  replacements.Add(u"MODULE_RAW", u"C:\\Program Files\\O'Neil\\mirdane.dll");
  replacements.Add(u"APPID", u"");
  return replacements;
}

TEST(RegistryScripts, TheClassScriptWritesTheKeysTheHostLooksUp) {
  std::u16string error;
  const auto script =
      ParseRegistryScript(ReadScript("release_script.rgs"), ModuleReplacements(u""), &error);
  ASSERT_TRUE(script) << Utf16ToUtf8(error);
  ASSERT_EQ(script->roots.size(), 1u);
  EXPECT_EQ(script->roots[0].name, u"HKCR");
  const auto& keys = script->roots[0].keys;

  const auto* progId = Find(keys, u"mirdane.LorvenExportConnector");
  ASSERT_TRUE(progId);
  EXPECT_FALSE(progId->defaultValue);  // a ProgID key without a default value
  EXPECT_EQ(progId->removal, RegistryKey::Removal::Normal);
  ASSERT_EQ(progId->subkeys.size(), 1u);
  EXPECT_EQ(progId->subkeys[0].defaultValue->text, u"{F6C9D062-2E1F-4d80-8002-E9C453675C89}");

  const auto* clsidRoot = Find(keys, u"CLSID");
  ASSERT_TRUE(clsidRoot);
  EXPECT_EQ(clsidRoot->removal, RegistryKey::Removal::NoRemove);
  const auto* clsid = Find(clsidRoot->subkeys, u"{F6C9D062-2E1F-4d80-8002-E9C453675C89}");
  ASSERT_TRUE(clsid);
  EXPECT_EQ(clsid->removal, RegistryKey::Removal::ForceRemove);
  EXPECT_EQ(clsid->defaultValue->text, u"mirdane.LorvenExportConnector");
  ASSERT_TRUE(Named(*clsid, u"AppID"));
  EXPECT_EQ(Named(*clsid, u"AppID")->text, u"");  // the module's empty replacement
  EXPECT_EQ(Find(clsid->subkeys, u"ProgID")->defaultValue->text, u"mirdane.LorvenExportConnector");
  const auto* programmable = Find(clsid->subkeys, u"Programmable");
  ASSERT_TRUE(programmable);
  EXPECT_FALSE(programmable->defaultValue);
  const auto* server = Find(clsid->subkeys, u"InprocServer32");
  ASSERT_TRUE(server);
  // A quote in the module's path is text, not the end of a quoted text.
  EXPECT_EQ(server->defaultValue->text, u"C:\\Program Files\\O'Neil\\mirdane.dll");
  EXPECT_EQ(Named(*server, u"ThreadingModel")->text, u"Both");
  EXPECT_EQ(Find(clsid->subkeys, u"TypeLib")->defaultValue->text,
            u"{9034B620-09CF-49A7-8983-25C6B56C496C}");
}

TEST(RegistryScripts, TheAppIdScriptGetsTheGuidBecauseItsReplacementComesFirst) {
  std::u16string error;
  const auto script = ParseRegistryScript(
      ReadScript("appid.rgs"), ModuleReplacements(u"{EE0D74DB-D178-4352-9CEE-31B29287A6D8}"),
      &error);
  ASSERT_TRUE(script) << Utf16ToUtf8(error);
  const auto* appIdRoot = Find(script->roots[0].keys, u"AppID");
  ASSERT_TRUE(appIdRoot);
  EXPECT_EQ(appIdRoot->removal, RegistryKey::Removal::NoRemove);
  const auto* appId = Find(appIdRoot->subkeys, u"{EE0D74DB-D178-4352-9CEE-31B29287A6D8}");
  ASSERT_TRUE(appId);
  EXPECT_EQ(appId->defaultValue->text, u"mirdane");
  const auto* dll = Find(appIdRoot->subkeys, u"mirdane.DLL");
  ASSERT_TRUE(dll);
  EXPECT_EQ(Named(*dll, u"AppID")->text, u"{EE0D74DB-D178-4352-9CEE-31B29287A6D8}");
}

TEST(RegistryScripts, TheSetupScriptNamesItsOwnClass) {
  std::u16string error;
  const auto script =
      ParseRegistryScript(ReadScript("setup_script.rgs"), ModuleReplacements(u""), &error);
  ASSERT_TRUE(script) << Utf16ToUtf8(error);
  const auto* clsid = Find(Find(script->roots[0].keys, u"CLSID")->subkeys,
                           u"{BEFF5447-5D3C-43cc-962C-9691CBE344E3}");
  ASSERT_TRUE(clsid);
  EXPECT_EQ(Find(clsid->subkeys, u"ProgID")->defaultValue->text, u"mirdane.CppdSetupScript");
}

TEST(RegistryScripts, PercentSignsNumbersAndQuotes) {
  Replacements replacements;
  replacements.Add(u"Name", u"first");
  replacements.Add(u"NAME", u"second");  // the first value added stays
  std::u16string error;
  const auto script = ParseRegistryScript(
      u"HKLM { 'Key %name%' = s '100%% ''sure''' { val Count = d '4294967295' } }", replacements,
      &error);
  ASSERT_TRUE(script) << Utf16ToUtf8(error);
  const auto& key = script->roots[0].keys.at(0);
  EXPECT_EQ(key.name, u"Key first");
  EXPECT_EQ(key.defaultValue->text, u"100% 'sure'");
  EXPECT_EQ(key.values.at(0).second.kind, RegistryValue::Kind::Number);
  EXPECT_EQ(key.values.at(0).second.number, 4294967295u);
}

TEST(RegistryScripts, DamagedScriptsAreRefusedWithTheLine) {
  const Replacements none;
  struct Case {
    const char16_t* text;
    const char* fault;
  };
  const Case cases[] = {
      {u"HKCR\n{\n  Key = s 'open\n}", "not closed"},
      {u"HKCR { Key { val X = d '4294967296' } }", "not a 32-bit number"},
      {u"HKCR { Key = x 'text' }", "value type"},
      {u"HKCR { '%UNKNOWN%' }", "no replacement named 'UNKNOWN'"},
      {u"HKCR { Key {", "'}' is missing"},
      {u"HKCR { val X = s 'y' }", "must belong to a key"},
      {u"= s 'x'", "root key"},
      {u"HKCR { {F6C9", "not closed"},
  };
  for (const auto& c : cases) {
    std::u16string error;
    EXPECT_FALSE(ParseRegistryScript(c.text, none, &error)) << Utf16ToUtf8(c.text);
    EXPECT_NE(Utf16ToUtf8(error).find(c.fault), std::string::npos)
        << Utf16ToUtf8(c.text) << " -> " << Utf16ToUtf8(error);
    EXPECT_EQ(Utf16ToUtf8(error).rfind("line ", 0), 0u) << Utf16ToUtf8(error);
  }
}

TEST(RegistryScripts, DeepNestingIsRefusedNotRecursedWithoutEnd) {
  std::u16string text = u"HKCR {";
  for (int i = 0; i < 10000; ++i) text += u" K {";
  std::u16string error;
  EXPECT_FALSE(ParseRegistryScript(text, Replacements(), &error));
  EXPECT_NE(Utf16ToUtf8(error).find("nested too deeply"), std::string::npos);
}

}  // namespace
}  // namespace mirdane::component
