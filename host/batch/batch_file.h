// The batch file: one document class's export setup and the documents of one
// batch, in one JSON document. It stands in for the capture host outside it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace mirdane::batch {

using NamedTexts = std::vector<std::pair<std::u16string, std::u16string>>;

struct LinkRecord {
  std::u16string source;
  std::int32_t sourceType = 0;  // 0 index field, 1 text constant, 2 capture value, 3 batch field
  std::u16string destination;
  int line = 0;  // where it is in the file
};

struct SetupRecord {
  std::u16string name;
  std::u16string connectString;
  std::u16string userName;
  std::u16string password;
  NamedTexts customProperties;
  std::vector<LinkRecord> links;
  std::vector<std::u16string> indexFields;
  std::vector<std::u16string> batchFields;
  std::vector<std::u16string> captureValues;
};

struct TableRecord {
  std::u16string name;
  // Column name -> the column's texts, one per row.
  std::vector<std::pair<std::u16string, std::vector<std::u16string>>> columns;
};

struct DocumentRecord {
  int number = 0;  // 1 for the first document of the batch
  int line = 0;    // where it starts in the file
  std::u16string pdfFileName;
  // The host's lifelong identity of the document (UniqueDocumentID); absent
  // as with a host that has none.
  std::optional<std::u16string> uniqueDocumentId;
  NamedTexts indexFields;
  std::vector<TableRecord> tables;
  NamedTexts batchFields;
  NamedTexts captureValues;
};

struct BatchFile {
  std::filesystem::path path;
  std::u16string batchClass;
  std::u16string documentClass;
  SetupRecord setup;
  std::vector<DocumentRecord> documents;
  nlohmann::ordered_json json;      // the file as read, with its list of documents left empty
  std::vector<std::string> notes;   // members that were not understood and so ignored
};

// A batch file that cannot be used; what() names the file, the line and the problem.
class BatchFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads and checks a batch file. Every member is optional; a missing text
// reads as empty and a missing list as empty. A member of the wrong type, a
// source type outside 0 to 3 or malformed JSON is refused.
BatchFile LoadBatchFile(const std::filesystem::path& path);
// The same for a file's contents already read; `path` names it in messages.
BatchFile ReadBatchFile(std::string text, const std::filesystem::path& path);

// Hands documents to `visit` one at a time, in order, until it answers false.
using DocumentVisitor = std::function<bool(const DocumentRecord&)>;
using DocumentSource = std::function<void(const DocumentVisitor&)>;

// The documents held in `file` (which must outlive the source).
DocumentSource DocumentsOf(const BatchFile& file);

// A batch file read one document at a time, so that memory does not grow
// with the number of its documents. The whole file is read and checked when
// the reader is made (each document read and dropped); the documents are
// read again, from the same open file, when they are wanted.
class BatchFileReader {
 public:
  // Throws BatchFileError as LoadBatchFile does.
  explicit BatchFileReader(const std::filesystem::path& path);

  // Everything but the documents (`documents` is empty).
  const BatchFile& file() const { return file_; }
  std::size_t documentCount() const { return count_; }
  // Reads the documents again and hands each to `visit` until it answers
  // false. Throws BatchFileError when the file no longer reads as it did.
  void ForEachDocument(const DocumentVisitor& visit);
  DocumentSource Documents() {
    return [this](const DocumentVisitor& visit) { ForEachDocument(visit); };
  }

 private:
  std::ifstream stream_;
  BatchFile file_;
  std::size_t count_ = 0;
};

// Finds a text by name among named texts; null when absent.
const std::u16string* FindText(const NamedTexts& texts, const std::u16string& name);

}  // namespace mirdane::batch
