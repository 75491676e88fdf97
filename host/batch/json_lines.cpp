#include "host/batch/json_lines.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace mirdane::batch {
namespace {

using Json = nlohmann::ordered_json;

// Where the parser has read up to; the lexer pulls characters one at a time
// through CountingIterator.
struct ReadPosition {
  std::size_t consumed = 0;
};

class CountingIterator {
 public:
  using iterator_category = std::forward_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  CountingIterator() = default;
  CountingIterator(const char* at, const char* begin, ReadPosition* position)
      : at_(at), begin_(begin), position_(position) {}

  reference operator*() const { return *at_; }
  CountingIterator& operator++() {
    ++at_;
    if (position_) position_->consumed = static_cast<std::size_t>(at_ - begin_);
    return *this;
  }
  CountingIterator operator++(int) {
    auto copy = *this;
    ++*this;
    return copy;
  }
  bool operator==(const CountingIterator& other) const { return at_ == other.at_; }
  bool operator!=(const CountingIterator& other) const { return at_ != other.at_; }

 private:
  const char* at_ = nullptr;
  const char* begin_ = nullptr;
  ReadPosition* position_ = nullptr;
};

class LineRecordingSax {
 public:
  LineRecordingSax(const std::string& text, const ReadPosition& position)
      : position_(position) {
    line_starts_.push_back(0);
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') line_starts_.push_back(i + 1);
    }
  }

  bool null() { return Value(Json(nullptr), false); }
  bool boolean(bool value) { return Value(Json(value), false); }
  bool number_integer(Json::number_integer_t value) { return Value(Json(value), true); }
  bool number_unsigned(Json::number_unsigned_t value) { return Value(Json(value), true); }
  bool number_float(Json::number_float_t value, const std::string&) { return Value(Json(value), true); }
  bool string(std::string& value) { return Value(Json(std::move(value)), false); }
  bool binary(Json::binary_t& value) { return Value(Json(value), false); }

  bool start_object(std::size_t) { return Open(Json::object()); }
  bool start_array(std::size_t) { return Open(Json::array()); }
  bool end_object() { return Close(); }
  bool end_array() { return Close(); }

  bool key(std::string& name) {
    Frame& frame = stack_.back();
    if (!frame.names.insert(name).second) {
      throw JsonSyntaxError(CurrentLine(1),
                            "the member \"" + name + "\" appears twice in the same object");
    }
    frame.key = name;
    frame.key_line = CurrentLine(1);
    return true;
  }

  bool parse_error(std::size_t position, const std::string& /*last_token*/,
                   const nlohmann::detail::exception& error) {
    std::string what = error.what();
    // "[json.exception.parse_error.101] parse error at line 3, column 5: ..." -> the reason only.
    if (const auto colon = what.find(": "); colon != std::string::npos) what = what.substr(colon + 2);
    throw JsonSyntaxError(LineAt(position == 0 ? 0 : position - 1), what);
  }

  JsonWithLines Take() { return std::move(result_); }

 private:
  struct Frame {
    Json* node;
    std::uint32_t id;                          // this container's node
    std::string key;                           // the member being read (objects)
    int key_line = 0;
    std::unordered_set<std::string> names;     // members seen so far (objects)
  };

  int LineAt(std::size_t offset) const {
    const auto it = std::upper_bound(line_starts_.begin(), line_starts_.end(), offset);
    return static_cast<int>(it - line_starts_.begin());
  }
  // The line of the character `back` places before what has been read; a
  // number is only known to have ended once the character after it was read.
  int CurrentLine(std::size_t back) const {
    const std::size_t consumed = position_.consumed;
    return LineAt(consumed >= back ? consumed - back : 0);
  }

  // Places a new value where the parser is: as the root, as the member named
  // by the last key, or as the next element of an array. Gives its node.
  Json* Place(Json value, bool is_number, std::uint32_t* id) {
    if (stack_.empty()) {
      result_.value = std::move(value);
      *id = 0;
      return &result_.value;
    }
    Frame& frame = stack_.back();
    *id = next_id_++;
    if (frame.node->is_object()) {
      result_.children.emplace(JsonWithLines::ChildKey{frame.id, frame.key},
                               JsonWithLines::Node{*id, frame.key_line});
      // The name is known to be new: append without the map's linear search.
      auto& members = frame.node->get_ref<Json::object_t&>();
      members.Container::emplace_back(std::move(frame.key), std::move(value));
      return &members.back().second;
    }
    result_.children.emplace(
        JsonWithLines::ChildKey{frame.id, std::to_string(frame.node->size())},
        JsonWithLines::Node{*id, CurrentLine(is_number ? 2 : 1)});
    frame.node->push_back(std::move(value));
    return &frame.node->back();
  }

  bool Value(Json value, bool is_number) {
    std::uint32_t id = 0;
    Place(std::move(value), is_number, &id);
    return true;
  }

  bool Open(Json container) {
    if (stack_.size() >= static_cast<std::size_t>(kMaxJsonDepth)) {
      throw JsonSyntaxError(CurrentLine(1), "lists and objects are nested deeper than " +
                                                std::to_string(kMaxJsonDepth) + " levels");
    }
    std::uint32_t id = 0;
    Json* node = Place(std::move(container), false, &id);
    stack_.push_back(Frame{node, id, {}, 0, {}});
    return true;
  }

  bool Close() {
    stack_.pop_back();
    return true;
  }

  const ReadPosition& position_;
  std::vector<std::size_t> line_starts_;
  std::vector<Frame> stack_;
  std::uint32_t next_id_ = 1;
  JsonWithLines result_;
};

// "a~1b" -> "a/b", "a~0b" -> "a~b".
std::string UnescapePointerToken(std::string_view token) {
  std::string out;
  for (std::size_t i = 0; i < token.size(); ++i) {
    if (token[i] == '~' && i + 1 < token.size() && (token[i + 1] == '0' || token[i + 1] == '1')) {
      out += token[i + 1] == '0' ? '~' : '/';
      ++i;
    } else {
      out += token[i];
    }
  }
  return out;
}

}  // namespace

int JsonWithLines::LineOf(const std::string& pointer) const {
  // Down the pointer as far as it leads; the nearest enclosing line wins.
  std::uint32_t node = 0;
  int line = 1;
  std::size_t at = 0;
  while (at < pointer.size() && pointer[at] == '/') {
    const std::size_t next = pointer.find('/', at + 1);
    const std::string_view token =
        std::string_view(pointer).substr(at + 1, next == std::string::npos ? std::string::npos
                                                                          : next - at - 1);
    const auto found = children.find(ChildKey{node, UnescapePointerToken(token)});
    if (found == children.end()) break;
    node = found->second.id;
    line = found->second.line;
    if (next == std::string::npos) break;
    at = next;
  }
  return line;
}

JsonWithLines ParseJsonWithLines(const std::string& text) {
  // The parser would pass over a byte order mark silently, but the offsets
  // that writing a setup back relies on would then be off: callers remove
  // the one an editor may write, and a second one is refused.
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
    throw JsonSyntaxError(1, "a second byte order mark where the JSON must begin");
  }
  ReadPosition position;
  LineRecordingSax sax(text, position);
  const char* begin = text.data();
  CountingIterator first(begin, begin, &position);
  CountingIterator last(begin + text.size(), begin, nullptr);
  Json::sax_parse(first, last, &sax);
  return sax.Take();
}

}  // namespace mirdane::batch
