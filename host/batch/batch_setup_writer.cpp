#include "host/batch/batch_setup_writer.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "host/batch/atomic_file.h"
#include "host/batch/json_lines.h"

namespace mirdane::batch {
namespace {

using Json = nlohmann::ordered_json;

struct Member {
  std::string name;
  std::size_t key_begin;    // the opening quote of its name
  std::size_t value_begin;
  std::size_t value_end;
};

// The members of a JSON object in a text that has been parsed already (so it
// is known to be well formed), with where each one lies.
class ObjectScanner {
 public:
  explicit ObjectScanner(std::string_view text) : text_(text) {}

  // The members of the object whose "{" is at `open`, in order.
  std::vector<Member> Members(std::size_t open) const {
    std::vector<Member> members;
    std::size_t at = SkipBlanks(open + 1);
    while (at < text_.size() && text_[at] == '"') {
      Member member;
      member.key_begin = at;
      const std::size_t key_end = SkipString(at);
      member.name = Json::parse(text_.substr(at, key_end - at)).get<std::string>();
      member.value_begin = SkipBlanks(SkipBlanks(key_end) + 1);  // past ":"
      member.value_end = SkipValue(member.value_begin);
      members.push_back(member);
      at = SkipBlanks(member.value_end);
      if (at < text_.size() && text_[at] == ',') at = SkipBlanks(at + 1);
    }
    return members;
  }

  // The offset of the root value.
  std::size_t Root() const { return SkipBlanks(0); }

  // The blanks before `at` on its own line: a member's indentation.
  std::string IndentBefore(std::size_t at) const {
    std::size_t begin = at;
    while (begin > 0 && (text_[begin - 1] == ' ' || text_[begin - 1] == '\t')) --begin;
    if (begin > 0 && text_[begin - 1] != '\n') return {};
    return std::string(text_.substr(begin, at - begin));
  }

 private:
  std::size_t SkipBlanks(std::size_t at) const {
    while (at < text_.size() && std::string_view(" \t\r\n").find(text_[at]) != std::string_view::npos) ++at;
    return at;
  }

  std::size_t SkipString(std::size_t at) const {
    for (++at; at < text_.size(); ++at) {
      if (text_[at] == '\\') ++at;
      else if (text_[at] == '"') return at + 1;
    }
    return at;
  }

  std::size_t SkipValue(std::size_t at) const {
    if (at >= text_.size()) return at;
    if (text_[at] == '"') return SkipString(at);
    if (text_[at] != '{' && text_[at] != '[') {
      while (at < text_.size() && std::string_view(",}] \t\r\n").find(text_[at]) == std::string_view::npos) ++at;
      return at;
    }
    int depth = 0;
    while (at < text_.size()) {
      const char c = text_[at];
      if (c == '"') {
        at = SkipString(at);
        continue;
      }
      if (c == '{' || c == '[') ++depth;
      if (c == '}' || c == ']') --depth;
      ++at;
      if (depth == 0) break;
    }
    return at;
  }

  std::string_view text_;
};

bool IsContainer(const Json& value) { return value.is_object() || value.is_array(); }

// Small containers of plain values on one line ({ "a": 1 }, ["x", "y"]),
// everything else one member or element per line, as the sample files are laid out.
std::string Render(const Json& value, const std::string& indent, bool force_lines = false) {
  if (!IsContainer(value)) return value.dump(-1, ' ', false, Json::error_handler_t::replace);
  if (value.empty()) return value.is_object() ? "{}" : "[]";
  bool flat = !force_lines;
  for (const auto& child : value) flat = flat && !IsContainer(child);
  const bool object = value.is_object();
  std::string out(1, object ? '{' : '[');
  const std::string inner = indent + "  ";
  bool first = true;
  for (const auto& [key, child] : value.items()) {
    out += first ? "" : ",";
    out += flat ? (object || !first ? " " : "") : "\n" + inner;
    if (object) out += Json(key).dump() + ": ";
    out += Render(child, inner);
    first = false;
  }
  out += flat ? (object ? " }" : "]") : "\n" + indent + (object ? "}" : "]");
  return out;
}

// The members a setup writes, in the order a new setup lists them.
Json WrittenMembers(const SetupRecord& setup) {
  Json json = Json::object();
  json["name"] = Utf16ToUtf8(setup.name);
  json["connectString"] = Utf16ToUtf8(setup.connectString);
  json["userName"] = Utf16ToUtf8(setup.userName);
  json["password"] = Utf16ToUtf8(setup.password);
  Json properties = Json::object();
  // Names are unique: appending skips the object's linear search per member.
  auto& members = properties.get_ref<Json::object_t&>();
  for (const auto& [name, value] : setup.customProperties) {
    members.Container::emplace_back(Utf16ToUtf8(name), Json(Utf16ToUtf8(value)));
  }
  json["customProperties"] = std::move(properties);
  Json links = Json::array();
  for (const auto& link : setup.links) {
    Json item = Json::object();
    item["source"] = Utf16ToUtf8(link.source);
    item["sourceType"] = link.sourceType;
    item["destination"] = Utf16ToUtf8(link.destination);
    links.push_back(std::move(item));
  }
  json["links"] = std::move(links);
  return json;
}

struct Edit {
  std::size_t begin;
  std::size_t end;
  std::string text;
};

// The edits that put `written` into the text: each member's value replaced
// where the setup has it, missing members added at its end, a setup that is
// missing or not an object written whole.
std::vector<Edit> SetupEdits(std::string_view body, const Json& root, const Json& written) {
  const ObjectScanner scanner(body);
  const std::size_t root_open = scanner.Root();
  const std::vector<Member> root_members = scanner.Members(root_open);
  const Member* setup = nullptr;
  for (const auto& member : root_members) {
    if (member.name == "setup") setup = &member;
  }
  if (!setup || !root.at("setup").is_object()) {
    const std::string text = Render(written, "  ", true);
    if (setup) return {{setup->value_begin, setup->value_end, text}};
    const std::string member = "\n  \"setup\": " + text + (root_members.empty() ? "\n" : ",");
    return {{root_open + 1, root_open + 1, member}};
  }

  const std::vector<Member> members = scanner.Members(setup->value_begin);
  const std::string indent = members.empty() ? "    " : scanner.IndentBefore(members.front().key_begin);
  std::vector<Edit> edits;
  std::string added;
  for (const auto& [name, value] : written.items()) {
    const auto found = std::find_if(members.begin(), members.end(),
                                    [&name = name](const Member& m) { return m.name == name; });
    const std::string text = Render(value, indent);
    if (found != members.end()) {
      edits.push_back({found->value_begin, found->value_end, text});
    } else {
      added += (members.empty() && added.empty() ? "" : ",");
      added += "\n" + indent + Json(name).dump() + ": " + text;
    }
  }
  if (!added.empty()) {
    const std::size_t after = members.empty() ? setup->value_begin + 1 : members.back().value_end;
    if (members.empty()) added += "\n" + scanner.IndentBefore(setup->key_begin);
    edits.push_back({after, after, added});
  }
  return edits;
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream stream(path, std::ios::binary);
  if (!stream) throw BatchFileError(path.string() + ": cannot be read (no such file, or no access)");
  std::stringstream contents;
  contents << stream.rdbuf();
  return contents.str();
}

}  // namespace

std::string WriteSetupInto(const std::string& text, const SetupRecord& setup,
                           const std::filesystem::path& path) {
  const std::size_t bom = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  const std::string_view body(text.data() + bom, text.size() - bom);
  JsonWithLines parsed;
  try {
    parsed = ParseJsonWithLines(std::string(body));
  } catch (const JsonSyntaxError& error) {
    throw BatchFileError(path.string() + ":" + std::to_string(error.line()) +
                         ": not valid JSON, the setup was not written: " + error.what());
  }
  if (!parsed.value.is_object()) {
    throw BatchFileError(path.string() + ":1: not a batch file, the setup was not written");
  }

  std::vector<Edit> edits = SetupEdits(body, parsed.value, WrittenMembers(setup));
  // The text put in takes the file's own line breaks.
  const std::string newline = body.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
  std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.begin > b.begin; });
  std::string updated(body);
  for (auto& edit : edits) {
    if (newline != "\n") {
      std::string converted;
      for (const char c : edit.text) converted += c == '\n' ? newline : std::string(1, c);
      edit.text = std::move(converted);
    }
    updated.replace(edit.begin, edit.end - edit.begin, edit.text);
  }
  return text.substr(0, bom) + updated;
}

void WriteSetup(const std::filesystem::path& path, const SetupRecord& setup) {
  // The file as it is now, so that nothing written to it since it was loaded is lost.
  ReplaceFileAtomically(path, WriteSetupInto(ReadAll(path), setup, path));
}

}  // namespace mirdane::batch
