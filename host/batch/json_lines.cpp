#include "host/batch/json_lines.h"

#include <cstring>
#include <iterator>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace mirdane::batch {
namespace {

using Json = nlohmann::ordered_json;

// The characters the parser reads, from memory or from a stream, with the
// line of each of the last few it has read (the parser reports where it is
// only after reading a character or two past it).
class CharSource {
 public:
  CharSource(const char* data, std::size_t size) : at_(data), end_(data + size) {}
  explicit CharSource(std::istream& in) : stream_(&in), buffer_(kBufferSize) {}

  bool AtEnd() { return at_ == end_ && !Refill(); }
  char Current() { return AtEnd() ? '\0' : *at_; }
  void Advance() {
    if (AtEnd()) return;
    lines_[consumed_ % kRemembered] = line_;
    if (*at_ == '\n') ++line_;
    ++at_;
    ++consumed_;
  }
  // Whether the next characters are `bytes` (consumed when they are).
  bool Skip(std::string_view bytes) {
    while (static_cast<std::size_t>(end_ - at_) < bytes.size()) {
      if (!stream_ || !Refill(/*keep=*/true)) break;
    }
    if (static_cast<std::size_t>(end_ - at_) < bytes.size() ||
        std::string_view(at_, bytes.size()) != bytes) {
      return false;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) Advance();
    return true;
  }

  // The line (from 1) of the character at `offset` from the start.
  int LineAt(std::size_t offset) const {
    if (offset >= consumed_) return line_;
    if (consumed_ - offset <= kRemembered) return lines_[offset % kRemembered];
    return line_;
  }
  // The line of the character `back` places before what has been read.
  int LineBack(std::size_t back) const { return consumed_ >= back ? LineAt(consumed_ - back) : 1; }

 private:
  static constexpr std::size_t kBufferSize = 1 << 16;
  static constexpr std::size_t kRemembered = 8;

  // Reads more of the stream; with `keep`, after what is still unread.
  bool Refill(bool keep = false) {
    if (!stream_ || !*stream_) return false;
    std::size_t kept = 0;
    if (keep && at_ != end_) {
      kept = static_cast<std::size_t>(end_ - at_);
      std::memmove(buffer_.data(), at_, kept);
    }
    stream_->read(buffer_.data() + kept, static_cast<std::streamsize>(buffer_.size() - kept));
    const auto got = static_cast<std::size_t>(stream_->gcount());
    at_ = buffer_.data();
    end_ = buffer_.data() + kept + got;
    return got > 0;
  }

  const char* at_ = nullptr;
  const char* end_ = nullptr;
  std::istream* stream_ = nullptr;
  std::vector<char> buffer_;
  std::size_t consumed_ = 0;
  int line_ = 1;
  int lines_[kRemembered] = {};
};

class SourceIterator {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = char;

  SourceIterator() = default;
  explicit SourceIterator(CharSource* source) : source_(source) {}

  char operator*() const { return source_->Current(); }
  SourceIterator& operator++() {
    source_->Advance();
    return *this;
  }
  SourceIterator operator++(int) {
    auto copy = *this;
    ++*this;
    return copy;
  }
  // Only "at the end or not" is ever compared.
  bool operator==(const SourceIterator& other) const { return AtEnd() == other.AtEnd(); }
  bool operator!=(const SourceIterator& other) const { return !(*this == other); }

 private:
  bool AtEnd() const { return !source_ || source_->AtEnd(); }

  CharSource* source_ = nullptr;
};

class LineRecordingSax {
 public:
  LineRecordingSax(const CharSource& source, std::string streamed, const JsonElementHandler* element)
      : source_(source), streamed_(std::move(streamed)), element_handler_(element) {}

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
      throw JsonSyntaxError(source_.LineBack(1),
                            "the member \"" + name + "\" appears twice in the same object");
    }
    frame.key = name;
    frame.key_line = source_.LineBack(1);
    return true;
  }

  bool parse_error(std::size_t position, const std::string& /*last_token*/,
                   const nlohmann::detail::exception& error) {
    std::string what = error.what();
    // "[json.exception.parse_error.101] parse error at line 3, column 5: ..." -> the reason only.
    if (const auto colon = what.find(": "); colon != std::string::npos) what = what.substr(colon + 2);
    throw JsonSyntaxError(source_.LineAt(position == 0 ? 0 : position - 1), what);
  }

  JsonWithLines Take() { return std::move(result_); }

 private:
  // The values being read go into the result, or, inside an element of the
  // streamed list, into that element's own value and lines.
  struct Tree {
    JsonWithLines* lines;
    std::uint32_t* next_id;
  };
  struct Frame {
    Json* node;
    std::uint32_t id;                          // this container's node
    Tree tree;                                 // where its children go
    std::string key;                           // the member being read (objects)
    int key_line = 0;
    std::unordered_set<std::string> names;     // members seen so far (objects)
    bool streamed = false;                     // the list whose elements are handed over
    int member_line = 0;                       // the line of its name (streamed list)
    bool element = false;                      // an element of that list
    std::size_t handed = 0;                    // elements handed over (streamed list)
  };

  Tree RootTree() { return Tree{&result_, &next_id_}; }

  // Starts an element of the streamed list at `line`: a tree of its own
  // whose first nodes lead from the root to it.
  Json* StartElement(Frame& list, Json value, int line, std::uint32_t* id) {
    element_ = JsonWithLines();
    element_.value = std::move(value);
    element_.children.emplace(JsonWithLines::ChildKey{0, streamed_},
                              JsonWithLines::Node{1, list.member_line});
    element_.children.emplace(JsonWithLines::ChildKey{1, std::to_string(list.handed)},
                              JsonWithLines::Node{2, line});
    element_next_id_ = 3;
    *id = 2;
    return &element_.value;
  }

  void HandOver(Frame& list) {
    (*element_handler_)(element_, list.handed);
    ++list.handed;
    element_ = JsonWithLines();
  }

  // Places a new value where the parser is: as the root, as the member named
  // by the last key, or as the next element of an array. Gives its node and
  // the tree its children go into.
  Json* Place(Json value, bool is_number, std::uint32_t* id, Tree* tree, bool* starts_element) {
    *starts_element = false;
    if (stack_.empty()) {
      result_.value = std::move(value);
      *id = 0;
      *tree = RootTree();
      return &result_.value;
    }
    Frame& frame = stack_.back();
    if (frame.streamed) {
      *starts_element = true;
      *tree = Tree{&element_, &element_next_id_};
      return StartElement(frame, std::move(value), source_.LineBack(is_number ? 2 : 1), id);
    }
    *tree = frame.tree;
    *id = (*tree->next_id)++;
    if (frame.node->is_object()) {
      tree->lines->children.emplace(JsonWithLines::ChildKey{frame.id, frame.key},
                                    JsonWithLines::Node{*id, frame.key_line});
      // The name is known to be new: append without the map's linear search.
      auto& members = frame.node->get_ref<Json::object_t&>();
      members.Container::emplace_back(std::move(frame.key), std::move(value));
      return &members.back().second;
    }
    tree->lines->children.emplace(
        JsonWithLines::ChildKey{frame.id, std::to_string(frame.node->size())},
        JsonWithLines::Node{*id, source_.LineBack(is_number ? 2 : 1)});
    frame.node->push_back(std::move(value));
    return &frame.node->back();
  }

  bool Value(Json value, bool is_number) {
    std::uint32_t id = 0;
    Tree tree{};
    bool starts_element = false;
    Place(std::move(value), is_number, &id, &tree, &starts_element);
    if (starts_element) HandOver(stack_.back());
    return true;
  }

  bool Open(Json container) {
    if (stack_.size() >= static_cast<std::size_t>(kMaxJsonDepth)) {
      throw JsonSyntaxError(source_.LineBack(1), "lists and objects are nested deeper than " +
                                                     std::to_string(kMaxJsonDepth) + " levels");
    }
    // The root object's member of that name, when it is a list, is streamed.
    const bool streamed = container.is_array() && element_handler_ && stack_.size() == 1 &&
                          stack_.back().node->is_object() && stack_.back().key == streamed_;
    std::uint32_t id = 0;
    Tree tree{};
    bool starts_element = false;
    Json* node = Place(std::move(container), false, &id, &tree, &starts_element);
    Frame frame{node, id, tree, {}, 0, {}};
    frame.streamed = streamed;
    if (streamed) frame.member_line = stack_.back().key_line;
    frame.element = starts_element;
    stack_.push_back(std::move(frame));
    return true;
  }

  bool Close() {
    const bool element = stack_.back().element;
    stack_.pop_back();
    if (element) HandOver(stack_.back());
    return true;
  }

  const CharSource& source_;
  std::string streamed_;
  const JsonElementHandler* element_handler_;
  std::vector<Frame> stack_;
  std::uint32_t next_id_ = 1;
  JsonWithLines result_;
  JsonWithLines element_;
  std::uint32_t element_next_id_ = 3;
};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

JsonWithLines Parse(CharSource& source, const std::string& streamed,
                    const JsonElementHandler* element) {
  // The parser would pass over a byte order mark silently, but the offsets
  // that writing a setup back relies on would then be off: callers remove
  // the one an editor may write, and a second one is refused.
  if (source.Skip(kByteOrderMark)) {
    throw JsonSyntaxError(1, "a second byte order mark where the JSON must begin");
  }
  LineRecordingSax sax(source, streamed, element);
  Json::sax_parse(SourceIterator(&source), SourceIterator(), &sax);
  return sax.Take();
}

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
  CharSource source(text.data(), text.size());
  return Parse(source, {}, nullptr);
}

JsonWithLines ParseJsonStream(std::istream& in, const std::string& streamed,
                              const JsonElementHandler& element) {
  CharSource source(in);
  source.Skip(kByteOrderMark);  // one, as an editor may write it
  return Parse(source, streamed, &element);
}

}  // namespace mirdane::batch
