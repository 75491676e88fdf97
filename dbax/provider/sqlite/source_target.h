// The library and table that a source query reads from, so that a failing
// query can be explained in the IBM i's terms (which of the two is missing).
#pragma once

#include <string>

namespace dbAx::provider::sqlite {

struct SourceTarget {
  bool found = false;      // the query has a FROM with a table after it
  bool qualified = false;  // the table is written LIBRARY.TABLE (even with an empty library)
  std::u16string library;
  std::u16string table;
  // Where the name (LIBRARY.TABLE as written) lies in the query.
  std::size_t begin = 0;
  std::size_t end = 0;
};

SourceTarget SourceTargetOf(const std::u16string& sql);

}  // namespace dbAx::provider::sqlite
