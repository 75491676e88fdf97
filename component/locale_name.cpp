#include "component/locale_name.h"

namespace mirdane::component {

std::string ComposeLocaleName(const std::string& language, const std::string& country,
                              const std::string& codePage) {
  std::string name = language;
  if (!country.empty()) name += "_" + country;
  if (!codePage.empty()) name += "." + codePage;
  return name;
}

}  // namespace mirdane::component
