// Registry scripts: the text resources that say which registry keys and
// values the module writes when it is registered and removes when it is not.
//
//   HKCR
//   {
//     NoRemove CLSID
//     {
//       ForceRemove {F6C9D062-...} = s 'mirdane.LorvenExportConnector'
//       {
//         InprocServer32 = s '%MODULE%'
//         {
//           val ThreadingModel = s 'Both'
//         }
//       }
//     }
//   }
//
// A key may carry a default value (`= s 'text'` or `= d 'number'`), named
// values (`val Name = s 'text'`) and subkeys in braces. `NoRemove` keeps the
// key when unregistering (its listed subkeys are still removed), `ForceRemove`
// replaces the whole key when registering, `Delete` removes it when
// registering. %NAME% is replaced by the value of replacement NAME (case
// insensitive); %% is a percent sign. Replacements are made inside names and
// texts after the script has been split into words, so a replacement value
// (a module path with a quote in it) can never change the script's structure.
//
// This part reads and checks scripts only; writing the registry is the
// platform's side (registry_writer).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mirdane::component {

// The named values a script may use, in the order they were added. When a
// name is added twice, the first value stays.
class Replacements {
 public:
  void Add(const std::u16string& name, const std::u16string& value);
  const std::u16string* Find(const std::u16string& name) const;

 private:
  std::vector<std::pair<std::u16string, std::u16string>> entries_;
};

struct RegistryValue {
  enum class Kind { Text, Number };
  Kind kind = Kind::Text;
  std::u16string text;
  std::uint32_t number = 0;
};

struct RegistryKey {
  enum class Removal { Normal, NoRemove, ForceRemove, Delete };

  std::u16string name;
  Removal removal = Removal::Normal;
  std::optional<RegistryValue> defaultValue;
  std::vector<std::pair<std::u16string, RegistryValue>> values;
  std::vector<RegistryKey> subkeys;
};

// One root of a script (HKCR, HKLM, ...) with the keys listed under it.
struct RegistryRoot {
  std::u16string name;  // as written: HKCR or HKEY_CLASSES_ROOT, ...
  std::vector<RegistryKey> keys;
};

struct RegistryScript {
  std::vector<RegistryRoot> roots;
};

// Reads `text`; on a fault gives nothing and says where in `error`.
std::optional<RegistryScript> ParseRegistryScript(const std::u16string& text,
                                                  const Replacements& replacements,
                                                  std::u16string* error);

}  // namespace mirdane::component
