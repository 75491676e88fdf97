// The charge lines of one document, as the release collects them.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace mirdane {

// Column name -> value text. Keys are unique (the first value added stays)
// and iterate in ordinal UTF-16 order, which is the order of assignment.
using LineValues = std::map<std::u16string, std::u16string>;

// Entry 0: the values common to every line; entry i: the values of table row i.
using ChargeLineSet = std::vector<LineValues>;

// Adds a value common to every line, keeping one already present for the column.
bool AddCommonLineValue(const std::u16string& column, const std::u16string& text,
                        ChargeLineSet& lines);

// Makes `text` the value of `column` on every line, replacing any value a
// link gave it, common or per row.
void SetGeneratedLineValue(const std::u16string& column, const std::u16string& text,
                           ChargeLineSet& lines);

// Drops every value of `column`, common or per row.
void RemoveLineValue(const std::u16string& column, ChargeLineSet& lines);

}  // namespace mirdane
