// What the release ledger knows a document by, in this order: the host's
// UniqueDocumentID, else the original file the document was imported from,
// else KofaxPDFFileName.
#pragma once

#include <string>

#include "host/host_objects.h"

namespace mirdane {

struct DocumentKey {
  // The key in full: its kind, then what identifies the document ("id:...",
  // "file:..." with the file's size and time, "pdf:...").
  std::u16string text;
  // The identity as people know it: the ID or the path.
  std::u16string shown;
  // SHA-256 of `text` in UTF-8: what the ledger stores, unique for any text.
  std::string hash;
};

enum class KeyLookup {
  kFound,
  kNone,    // neither an identity nor a file name: released without the ledger
  kFailed,  // the host offers UniqueDocumentID but did not answer it
};

// Finds the key of the document of `data`. `originalFile` is the file
// FindOriginalFile found (empty when none) and `pdfFileName` the document's
// KofaxPDFFileName. A host without UniqueDocumentID is normal; one that has
// it and fails to answer gives kFailed with its HRESULT in `*failure`.
//
// An original file is known by its path together with its size and time of
// last change: import folders are used again and again, and a new scan under
// an old name is another document. The PDF is known by its name alone, since
// the host writes it anew for each release.
KeyLookup FindDocumentKey(kfx::ReleaseData& data, const std::u16string& originalFile,
                          const std::u16string& pdfFileName, DocumentKey* key, HRESULT* failure);

// The key of `text` (kind and identity, as in DocumentKey::text).
DocumentKey MakeDocumentKey(std::u16string text, std::u16string shown);

}  // namespace mirdane
