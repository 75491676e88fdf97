#include "release/document_key.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <system_error>

#include "base/sha256.h"
#include "base/text.h"

namespace mirdane {
namespace {

std::filesystem::path NativePath(const std::u16string& path) {
#ifdef _WIN32
  return std::filesystem::path(std::wstring(path.begin(), path.end()));
#else
  return std::filesystem::path(Utf16ToUtf8(path));
#endif
}

// "<size> bytes, written <ticks>": what tells one file under a path from
// another put there later. Nothing when the file cannot be asked.
std::optional<std::u16string> FileIdentity(const std::u16string& path) {
  std::error_code error;
  const auto native = NativePath(path);
  const auto size = std::filesystem::file_size(native, error);
  if (error) return std::nullopt;
  const auto written = std::filesystem::last_write_time(native, error);
  if (error) return std::nullopt;
  const auto ticks = written.time_since_epoch().count();
  return Utf8ToUtf16(std::to_string(size) + " bytes, written " + std::to_string(ticks));
}

}  // namespace

DocumentKey MakeDocumentKey(std::u16string text, std::u16string shown) {
  DocumentKey key;
  key.hash = Sha256Hex(Utf16ToUtf8(text));
  key.text = std::move(text);
  key.shown = std::move(shown);
  return key;
}

KeyLookup FindDocumentKey(kfx::ReleaseData& data, const std::u16string& originalFile,
                          const std::u16string& pdfFileName, DocumentKey* key, HRESULT* failure) {
  std::u16string id;
  const HRESULT asked = data.get_UniqueDocumentID(&id);
  if (asked == hr::kOk && !id.empty()) {
    *key = MakeDocumentKey(u"id:" + id, id);
    return KeyLookup::kFound;
  }
  // Not offered, or offered empty: the file names stand in. Any other answer
  // leaves the document without a key it would keep from one release to the
  // next, which is worse than none.
  if (asked != hr::kOk && asked != hr::kUnknownName) {
    *failure = asked;
    return KeyLookup::kFailed;
  }
  if (!originalFile.empty()) {
    const auto identity = FileIdentity(originalFile);
    *key = MakeDocumentKey(u"file:" + originalFile + (identity ? u"\n" + *identity : u""),
                           originalFile);
    return KeyLookup::kFound;
  }
  if (!pdfFileName.empty()) {
    *key = MakeDocumentKey(u"pdf:" + pdfFileName, pdfFileName);
    return KeyLookup::kFound;
  }
  return KeyLookup::kNone;
}

}  // namespace mirdane
