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
};

// What the host makes of `setup`'s links for `document`, in link order.
std::vector<ResolvedValue> ResolveValues(const SetupRecord& setup, const DocumentRecord& document);

std::shared_ptr<kfx::Values> MakeValues(std::vector<ResolvedValue> values);
std::shared_ptr<kfx::CustomProperties> MakeCustomProperties(std::shared_ptr<NamedTexts> properties);

}  // namespace mirdane::batch
