// The charge lines of one document, as the release collects them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace mirdane {

// Column name -> value text. Keys are unique (the first value added stays)
// and iterate in ordinal UTF-16 order, which is the order of assignment.
// Kept as a sorted array: a line holds a few values, and a document may have
// thousands of lines, each filled one column at a time.
class LineValues {
 public:
  using value_type = std::pair<std::u16string, std::u16string>;
  using const_iterator = std::vector<value_type>::const_iterator;

  // Adds `value` for `column` unless the column has one; true when added.
  bool try_emplace(const std::u16string& column, std::u16string value) {
    // Room for a line's usual few values at once, rather than growing by one.
    if (entries_.capacity() == 0) entries_.reserve(kUsualValues);
    // A line's columns mostly arrive in order: one past the last is appended.
    if (entries_.empty() || entries_.back().first < column) {
      entries_.emplace_back(column, std::move(value));
      return true;
    }
    const auto at = LowerBound(column);
    if (at != entries_.end() && at->first == column) return false;
    entries_.emplace(at, column, std::move(value));
    return true;
  }
  // Drops the value of `column`, if any: the count dropped.
  std::size_t erase(const std::u16string& column) {
    if (entries_.empty()) return 0;
    const auto at = LowerBound(column);
    if (at == entries_.end() || at->first != column) return 0;
    entries_.erase(at);
    return 1;
  }
  const std::u16string& at(const std::u16string& column) const {
    const auto found = find(column);
    if (found == end()) throw std::out_of_range("no value for the column");
    return found->second;
  }
  const_iterator find(const std::u16string& column) const {
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), column, KeyLess);
    return at != entries_.end() && at->first == column ? at : entries_.end();
  }
  std::size_t count(const std::u16string& column) const { return find(column) == end() ? 0 : 1; }
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }

 private:
  static constexpr std::size_t kUsualValues = 4;
  static bool KeyLess(const value_type& entry, const std::u16string& column) {
    return entry.first < column;
  }
  std::vector<value_type>::iterator LowerBound(const std::u16string& column) {
    return std::lower_bound(entries_.begin(), entries_.end(), column, KeyLess);
  }

  std::vector<value_type> entries_;
};

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
