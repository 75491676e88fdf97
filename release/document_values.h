// Reading what the host holds for the document being released and sorting it
// by destination: header values into the header record, charge line values
// into the ChargeLineSet.
#pragma once

#include <string>

#include "host/custom_property.h"
#include "host/host_objects.h"
#include "release/charge_lines.h"

namespace dbAx {
class CAxRecordset;
}

namespace mirdane {

// Splits "TABLE.COLUMN" (anything after a second dot is dropped); a
// destination without a dot is all table.
void SplitDestination(const std::u16string& destination, std::u16string* table,
                      std::u16string* column);

// Assigns every "UAGYCPP." value to the header record and collects every
// "UAG0CPP." value in `lines`. False after a reported failure.
bool readVariables(kfx::Values& values, dbAx::CAxRecordset& header, ChargeLineSet& lines);

// Adds a table field's rows to entries 1..n of `lines`. False, unreported,
// when the rows cannot be reached.
bool ReadRowValues(const std::u16string& column, kfx::Value& value, ChargeLineSet& lines);

// The file the document was imported from, when it exists.
bool FindOriginalFile(kfx::Values& values, std::u16string* path);

// The text of the value with that destination; true when it is not empty.
// A failed lookup leaves `text` unchanged.
bool ReadValueText(const std::u16string& destination, std::u16string* text, kfx::Values& values);

}  // namespace mirdane
