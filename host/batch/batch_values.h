// The file-backed host's value objects: a document's values, a table field's
// rows and the custom properties. They are strict about key types, as the
// real host is: a position is VT_I4, the row-values key VT_INT, a name VT_BSTR.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/batch/batch_file.h"
#include "host/host_objects.h"

namespace mirdane::batch {

struct ResolvedValue {
  std::u16string destination;
  std::u16string text;
  std::u16string tableName;           // empty for a single value
  std::vector<std::u16string> rows;   // the table column's texts
  // The column's texts where they stay in the document, in place of `rows`.
  std::shared_ptr<const std::vector<std::u16string>> documentRows = nullptr;

  const std::vector<std::u16string>& Rows() const { return documentRows ? *documentRows : rows; }
};

// What the host makes of `setup`'s links for `document`, in link order.
std::vector<ResolvedValue> ResolveValues(const SetupRecord& setup, const DocumentRecord& document);
// The same, with a table column's texts left in the document rather than
// copied: a document may have thousands of lines.
std::vector<ResolvedValue> ResolveValues(const SetupRecord& setup,
                                         const std::shared_ptr<const DocumentRecord>& document);

std::shared_ptr<kfx::Values> MakeValues(std::vector<ResolvedValue> values);
std::shared_ptr<kfx::CustomProperties> MakeCustomProperties(std::shared_ptr<NamedTexts> properties);

}  // namespace mirdane::batch
