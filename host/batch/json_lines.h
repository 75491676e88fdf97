// JSON with the line of every member and element, so that a batch file's
// problems can be reported at the line where they are.
#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include <nlohmann/json.hpp>

namespace mirdane::batch {

// Containers nested deeper than this are refused: no batch file needs more
// than a handful of levels, and a limit keeps every later walk of the value
// (copying, writing, freeing) safe from exhausting the stack.
inline constexpr int kMaxJsonDepth = 64;

struct JsonWithLines {
  nlohmann::ordered_json value;

  // The line (from 1) of the member or element at a JSON pointer
  // ("/documents/0/tables"): of the member's name, or of the element; for a
  // pointer that leads nowhere, of the nearest enclosing one that does.
  int LineOf(const std::string& pointer) const;

  // Every member and element is a node; node 0 is the root. A child is found
  // by its parent's node and its own pointer token (a member name, or an
  // element's index in decimal), so the table grows with the file's size and
  // not with its depth.
  struct ChildKey {
    std::uint32_t parent;
    std::string token;
    bool operator==(const ChildKey& other) const {
      return parent == other.parent && token == other.token;
    }
  };
  struct ChildKeyHash {
    std::size_t operator()(const ChildKey& key) const {
      return std::hash<std::string>()(key.token) * 31u + key.parent;
    }
  };
  struct Node {
    std::uint32_t id;
    int line;
  };
  std::unordered_map<ChildKey, Node, ChildKeyHash> children;
};

class JsonSyntaxError : public std::runtime_error {
 public:
  JsonSyntaxError(int line, const std::string& what) : std::runtime_error(what), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

// Parses `text`; throws JsonSyntaxError for malformed JSON, for a member name
// that appears twice in one object (the second would silently win) and for
// nesting deeper than kMaxJsonDepth. Time and memory are linear in the text's
// size.
JsonWithLines ParseJsonWithLines(const std::string& text);

// Each element of a list that is a member of the root object, as soon as the
// parser has read it: its value, with its lines (pointers to it and into it
// start with "/<member>/<index>"), and its index.
using JsonElementHandler = std::function<void(const JsonWithLines& element, std::size_t index)>;

// Parses JSON from `in` as ParseJsonWithLines parses a text, after one byte
// order mark, except that the elements of the root object's member
// `streamed`, when it is a list, are handed to `element` one at a time and
// not kept: that list is empty in the result. Memory does not grow with the
// number of those elements. `in` is read to the end of the JSON value.
JsonWithLines ParseJsonStream(std::istream& in, const std::string& streamed,
                              const JsonElementHandler& element);

}  // namespace mirdane::batch
