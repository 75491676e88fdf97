#include "host/batch/batch_file.h"

#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "base/text.h"
#include "host/batch/json_lines.h"

namespace mirdane::batch {
namespace {

using Json = nlohmann::ordered_json;

// A member name as a JSON pointer token.
std::string EscapeToken(const std::string& name) {
  std::string escaped;
  for (const char c : name) {
    if (c == '~') escaped += "~0";
    else if (c == '/') escaped += "~1";
    else escaped += c;
  }
  return escaped;
}

const char* TypeName(const Json& value) {
  if (value.is_string()) return "a text";
  if (value.is_number()) return "a number";
  if (value.is_boolean()) return "true or false";
  if (value.is_array()) return "a list";
  if (value.is_object()) return "an object";
  return "null";
}

// Reads one batch file's JSON, with the file name and lines for messages.
class Reader {
 public:
  Reader(std::filesystem::path path, const JsonWithLines& parsed)
      : path_(std::move(path)), parsed_(parsed) {}

  [[noreturn]] void Fail(const std::string& pointer, const std::string& what) const {
    throw BatchFileError(path_.string() + ":" + std::to_string(parsed_.LineOf(pointer)) + ": " +
                         Describe(pointer) + ": " + what);
  }

  // Members the reader does not know are noted, not refused: a newer file may
  // carry more than this version reads.
  void CheckMembers(const Json& object, const std::string& pointer,
                    std::initializer_list<const char*> known, std::vector<std::string>& notes) const {
    for (const auto& [name, value] : object.items()) {
      bool found = false;
      for (const char* k : known) found = found || name == k;
      if (!found) {
        notes.push_back(path_.string() + ":" + std::to_string(parsed_.LineOf(pointer + "/" + EscapeToken(name))) +
                        ": the member \"" + name + "\" is not part of a batch file and was ignored");
      }
    }
  }

  const Json* Member(const Json& object, const std::string& name) const {
    const auto found = object.find(name);
    if (found == object.end() || found->is_null()) return nullptr;
    return &*found;
  }

  std::u16string Text(const Json& object, const std::string& pointer, const std::string& name) const {
    const Json* value = Member(object, name);
    if (!value) return {};
    if (!value->is_string()) Fail(pointer + "/" + EscapeToken(name), std::string("expected a text, found ") + TypeName(*value));
    return Utf8ToUtf16(value->get<std::string>());
  }

  const Json* Object(const Json& object, const std::string& pointer, const std::string& name) const {
    const Json* value = Member(object, name);
    if (value && !value->is_object()) {
      Fail(pointer + "/" + EscapeToken(name), std::string("expected an object, found ") + TypeName(*value));
    }
    return value;
  }

  const Json* List(const Json& object, const std::string& pointer, const std::string& name) const {
    const Json* value = Member(object, name);
    if (value && !value->is_array()) {
      Fail(pointer + "/" + EscapeToken(name), std::string("expected a list, found ") + TypeName(*value));
    }
    return value;
  }

  std::vector<std::u16string> Texts(const Json& object, const std::string& pointer,
                                    const std::string& name) const {
    return TextsOf(Member(object, name), pointer, name);
  }

  // The texts of a list that is the member `name` (null when it is absent).
  std::vector<std::u16string> TextsOf(const Json* list, const std::string& pointer,
                                      const std::string& name) const {
    std::vector<std::u16string> texts;
    if (!list) return texts;
    if (!list->is_array()) {
      Fail(pointer + "/" + EscapeToken(name), std::string("expected a list, found ") + TypeName(*list));
    }
    for (std::size_t i = 0; i < list->size(); ++i) {
      const Json& item = (*list)[i];
      if (!item.is_string()) {
        Fail(pointer + "/" + EscapeToken(name) + "/" + std::to_string(i),
             std::string("expected a text, found ") + TypeName(item));
      }
      texts.push_back(Utf8ToUtf16(item.get<std::string>()));
    }
    return texts;
  }

  NamedTexts Named(const Json& object, const std::string& pointer, const std::string& name) const {
    NamedTexts texts;
    const Json* map = Object(object, pointer, name);
    if (!map) return texts;
    // Each member is taken as it is walked: looking every name up again in
    // the object would take time quadratic in the number of members.
    for (const auto& [key, value] : map->items()) {
      if (value.is_null()) {
        texts.emplace_back(Utf8ToUtf16(key), std::u16string());
        continue;
      }
      if (!value.is_string()) {
        Fail(pointer + "/" + EscapeToken(name) + "/" + EscapeToken(key),
             std::string("expected a text, found ") + TypeName(value));
      }
      texts.emplace_back(Utf8ToUtf16(key), Utf8ToUtf16(value.get<std::string>()));
    }
    return texts;
  }

  const JsonWithLines& parsed() const { return parsed_; }

 private:
  // "/documents/0/tables" -> "documents[0].tables"
  static std::string Describe(const std::string& pointer) {
    std::string out;
    std::size_t at = 1;
    while (at <= pointer.size() && !pointer.empty()) {
      const auto next = pointer.find('/', at);
      std::string token = pointer.substr(at, next == std::string::npos ? std::string::npos : next - at);
      for (std::size_t tilde = token.find('~'); tilde != std::string::npos && tilde + 1 < token.size();
           tilde = token.find('~', tilde + 1)) {
        token.replace(tilde, 2, token[tilde + 1] == '1' ? "/" : "~");
      }
      const bool index = !token.empty() && token.find_first_not_of("0123456789") == std::string::npos;
      if (index) out += "[" + token + "]";
      else out += (out.empty() ? "" : ".") + token;
      if (next == std::string::npos) break;
      at = next + 1;
    }
    return out.empty() ? "the file" : out;
  }

  std::filesystem::path path_;
  const JsonWithLines& parsed_;
};

SetupRecord ReadSetup(const Reader& in, const Json& setup, std::vector<std::string>& notes) {
  const std::string at = "/setup";
  in.CheckMembers(setup, at, {"name", "connectString", "userName", "password", "customProperties",
                              "links", "indexFields", "batchFields", "captureValues"}, notes);
  SetupRecord record;
  record.name = in.Text(setup, at, "name");
  record.connectString = in.Text(setup, at, "connectString");
  record.userName = in.Text(setup, at, "userName");
  record.password = in.Text(setup, at, "password");
  record.customProperties = in.Named(setup, at, "customProperties");
  if (const Json* links = in.List(setup, at, "links")) {
    for (std::size_t i = 0; i < links->size(); ++i) {
      const std::string link_at = at + "/links/" + std::to_string(i);
      const Json& link = (*links)[i];
      if (!link.is_object()) in.Fail(link_at, std::string("expected a link object, found ") + TypeName(link));
      in.CheckMembers(link, link_at, {"source", "sourceType", "destination"}, notes);
      LinkRecord link_record;
      link_record.line = in.parsed().LineOf(link_at);
      link_record.source = in.Text(link, link_at, "source");
      link_record.destination = in.Text(link, link_at, "destination");
      if (const Json* type = in.Member(link, "sourceType")) {
        if (!type->is_number_integer() || type->get<std::int64_t>() < 0 || type->get<std::int64_t>() > 3) {
          in.Fail(link_at + "/sourceType",
                  "expected 0 (index field), 1 (text constant), 2 (capture value) or 3 (batch "
                  "field), found " + type->dump());
        }
        link_record.sourceType = type->get<std::int32_t>();
      }
      record.links.push_back(std::move(link_record));
    }
  }
  record.indexFields = in.Texts(setup, at, "indexFields");
  record.batchFields = in.Texts(setup, at, "batchFields");
  record.captureValues = in.Texts(setup, at, "captureValues");
  return record;
}

DocumentRecord ReadDocument(const Reader& in, const Json& document, std::size_t index,
                          std::vector<std::string>& notes) {
  const std::string at = "/documents/" + std::to_string(index);
  if (!document.is_object()) in.Fail(at, std::string("expected a document object, found ") + TypeName(document));
  in.CheckMembers(document, at, {"pdfFileName", "uniqueDocumentId", "indexFields", "tables",
                                 "batchFields", "captureValues"}, notes);
  DocumentRecord record;
  record.number = static_cast<int>(index) + 1;
  record.line = in.parsed().LineOf(at);
  record.pdfFileName = in.Text(document, at, "pdfFileName");
  if (in.Member(document, "uniqueDocumentId")) record.uniqueDocumentId = in.Text(document, at, "uniqueDocumentId");
  record.indexFields = in.Named(document, at, "indexFields");
  record.batchFields = in.Named(document, at, "batchFields");
  record.captureValues = in.Named(document, at, "captureValues");
  if (const Json* tables = in.Object(document, at, "tables")) {
    for (const auto& [name, table] : tables->items()) {
      const std::string table_at = at + "/tables/" + EscapeToken(name);
      if (!table.is_object()) {
        in.Fail(table_at, std::string("expected an object of columns, found ") + TypeName(table));
      }
      TableRecord table_record{Utf8ToUtf16(name), {}};
      for (const auto& [column, rows] : table.items()) {
        // Taken as walked: a lookup by name per column would be quadratic.
        table_record.columns.emplace_back(Utf8ToUtf16(column),
                                        in.TextsOf(rows.is_null() ? nullptr : &rows, table_at, column));
      }
      record.tables.push_back(std::move(table_record));
    }
  }
  return record;
}

}  // namespace

const std::u16string* FindText(const NamedTexts& texts, const std::u16string& name) {
  for (const auto& [key, value] : texts) {
    if (key == name) return &value;
  }
  return nullptr;
}

namespace {

// A visitor that asked to stop: ends the parse early.
struct StopReading {};

// Reads a batch file from `in`: everything but the documents into the
// result, and each document, as soon as it has been read, to `document`.
// The file is refused as it always was: malformed JSON first, then the
// members around the documents, then the first document in error, whose
// successors are then no longer handed over.
BatchFile ReadBatch(std::istream& in, const std::filesystem::path& path,
                    const std::function<void(const DocumentRecord&)>& document) {
  BatchFile batch;
  batch.path = path;
  std::vector<std::string> document_notes;
  std::optional<BatchFileError> document_error;
  JsonWithLines parsed;
  try {
    parsed = ParseJsonStream(in, "documents", [&](const JsonWithLines& element, std::size_t index) {
      if (document_error) return;
      DocumentRecord record;
      try {
        const Reader reader(path, element);
        record = ReadDocument(reader, element.value, index, document_notes);
      } catch (const BatchFileError& error) {
        document_error = error;
        return;
      }
      document(record);
    });
  } catch (const JsonSyntaxError& error) {
    throw BatchFileError(path.string() + ":" + std::to_string(error.line()) +
                         ": not valid JSON: " + error.what());
  }
  if (!parsed.value.is_object()) {
    throw BatchFileError(path.string() + ":1: the file: expected a JSON object, found " +
                         TypeName(parsed.value));
  }
  Reader in_file(path, parsed);
  const Json& root = parsed.value;
  in_file.CheckMembers(root, "", {"batchClass", "documentClass", "setup", "documents"}, batch.notes);
  batch.batchClass = in_file.Text(root, "", "batchClass");
  batch.documentClass = in_file.Text(root, "", "documentClass");
  if (const Json* setup = in_file.Object(root, "", "setup")) {
    batch.setup = ReadSetup(in_file, *setup, batch.notes);
  }
  in_file.List(root, "", "documents");
  if (document_error) throw *document_error;
  batch.notes.insert(batch.notes.end(), document_notes.begin(), document_notes.end());
  batch.json = std::move(parsed.value);
  return batch;
}

BatchFile ReadAll(std::istream& in, const std::filesystem::path& path) {
  std::vector<DocumentRecord> documents;
  BatchFile batch =
      ReadBatch(in, path, [&documents](const DocumentRecord& document) { documents.push_back(document); });
  batch.documents = std::move(documents);
  return batch;
}

}  // namespace

BatchFile LoadBatchFile(const std::filesystem::path& path) {
  std::ifstream stream(path, std::ios::binary);
  if (!stream) throw BatchFileError(path.string() + ": cannot be read (no such file, or no access)");
  return ReadAll(stream, path);
}

BatchFile ReadBatchFile(std::string text, const std::filesystem::path& path) {
  std::istringstream stream(std::move(text));
  return ReadAll(stream, path);
}

BatchFileReader::BatchFileReader(const std::filesystem::path& path)
    : stream_(path, std::ios::binary) {
  if (!stream_) throw BatchFileError(path.string() + ": cannot be read (no such file, or no access)");
  file_ = ReadBatch(stream_, path, [this](const DocumentRecord&) { ++count_; });
}

void BatchFileReader::ForEachDocument(const DocumentVisitor& visit) {
  // The same open file again: one renamed over it meanwhile is not read.
  stream_.clear();
  stream_.seekg(0);
  try {
    ReadBatch(stream_, file_.path, [&visit](const DocumentRecord& document) {
      if (!visit(document)) throw StopReading{};
    });
  } catch (const StopReading&) {
  } catch (const BatchFileError& error) {
    throw BatchFileError(std::string(error.what()) +
                         " (the file changed after it was checked)");
  }
}

DocumentSource DocumentsOf(const BatchFile& file) {
  return [&file](const DocumentVisitor& visit) {
    for (const auto& document : file.documents) {
      if (!visit(document)) return;
    }
  };
}

}  // namespace mirdane::batch
