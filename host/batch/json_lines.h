// JSON with the line of every member and element, so that a batch file's
// problems can be reported at the line where they are.
#pragma once

#include <map>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

namespace mirdane::batch {

struct JsonWithLines {
  nlohmann::ordered_json value;
  // JSON pointer ("/documents/0/tables") -> line (from 1) of that member's
  // name, or of that array element.
  std::map<std::string, int> lines;

  int LineOf(const std::string& pointer) const;
};

class JsonSyntaxError : public std::runtime_error {
 public:
  JsonSyntaxError(int line, const std::string& what) : std::runtime_error(what), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

// Parses `text`; throws JsonSyntaxError for malformed JSON and for a member
// name that appears twice in one object (the second would silently win).
JsonWithLines ParseJsonWithLines(const std::string& text);

}  // namespace mirdane::batch
