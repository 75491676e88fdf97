// One recordset of the data-access layer: the connector uses it to insert rows
// into a bridge table, assigning every column from text.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/variant.h"
#include "dbax/provider/ado.h"

namespace dbAx {

class CAxConnection;

// Results of a field exchange that are not HRESULTs. Both are positive, so
// callers count them as success.
inline constexpr std::int32_t kExchangeNotUpdatable = 5;
inline constexpr std::int32_t kExchangeNoSuchField = 12;

class CAxRecordset {
 public:
  CAxRecordset() = default;
  CAxRecordset(const CAxRecordset&) = delete;
  CAxRecordset& operator=(const CAxRecordset&) = delete;
  // Closes the recordset if it is open and releases the provider object.
  // Never throws. A recordset must go before the connection it was opened on.
  virtual ~CAxRecordset();

  // Overridable hook for derived recordsets; nothing in the connector calls it.
  virtual void OnInitialize() {}
  // Moves a derived recordset's member variables to (save) or from the fields.
  // Called with false at the end of Open and with true at the start of Update.
  virtual void ExchangeFields(bool save) { (void)save; }

  // Creates the provider's recordset object. Never throws.
  mirdane::HRESULT Create();
  // Opens `source` on `connection` (either may be empty to keep the last one).
  void Open(const std::u16string& source, CAxConnection* connection, std::int32_t cursorType,
            std::int32_t cursorLocation, std::int32_t lockType, std::int32_t options);
  // Starts a pending new row, when the recordset supports adding rows.
  void AddNew();
  // Assigns a text to a column after checking that a decimal column can hold
  // its digits.
  bool SetFieldTextChecked(const std::u16string& name, const std::u16string& text);
  // Assigns a text to a column; the provider converts it to the column's type.
  bool SetFieldText(const std::u16string& name, const std::u16string& text);
  // Stores the pending row, when the recordset supports updating.
  void Update();
  // Discards a pending row or edit, if there is one.
  void CancelUpdate();
  bool Supports(std::int32_t options);
  bool _IsOpen();

  // Sending new rows together, where the provider can (provider::RowBatch).
  // Starts keeping the rows that Update stores; false, and nothing changes,
  // where rows cannot be sent together. Never throws.
  bool BeginRowBatch();
  // Sends the rows kept: true when every row is stored, false when none is
  // (they may then be stored one by one). Throws when what is stored is not
  // known.
  bool SendRowBatch();
  // Forgets the rows kept. Never throws.
  void EndRowBatch();
  void Close();

  // Property accessors: each sets the value when it lies in its range and
  // answers the value in effect.
  std::int32_t CursorType(std::int32_t value);
  std::int32_t CacheSize(std::int32_t value);
  std::int32_t CursorLocation(std::int32_t value);
  std::int32_t MarshalOptions(std::int32_t value);

 protected:
  // Exchanges one column with a text variable: writes it (save) or reads it
  // back. Answers an HRESULT, kExchangeNoSuchField for a column the source
  // lacks, or the result of reading back a column that cannot be written.
  std::int32_t _FieldExchange(bool save, const std::u16string& name, mirdane::VarType type,
                              std::u16string* variable);
  mirdane::HRESULT _GetField(const std::u16string& name, std::shared_ptr<provider::Field>* field);

 private:
  // The column's field from the lookups kept for this open recordset (null
  // when the source lacks it), and the lookup's result.
  mirdane::HRESULT FindField(const std::u16string& name, provider::Field** field);
  struct FieldLookup;
  // The lookup kept for `name`; null while no recordset is open.
  FieldLookup* LookUp(const std::u16string& name);
  bool AssignText(FieldLookup* lookup, const std::u16string& name, const std::u16string& text);
  // Writes `text` to the column when saving and the column takes values;
  // otherwise reads the column back into `readBack`. Answers as _FieldExchange.
  std::int32_t ExchangeField(bool save, FieldLookup* lookup, mirdane::VarType type,
                             const std::u16string& text, std::u16string* readBack);
  mirdane::HRESULT _WriteFieldValue(provider::Field& field, mirdane::VarType type,
                                    const std::u16string& variable);
  mirdane::HRESULT _ReadFieldValue(provider::Field& field, mirdane::VarType type,
                                   std::u16string* variable);
  bool _IsEmpty();
  void ReleaseRecordset();

  std::int32_t cursorType_ = -2;  // -2: not set, the argument of Open applies
  std::int32_t lockType_ = -2;
  std::shared_ptr<provider::Recordset> adoRecordset_;
  std::shared_ptr<provider::Connection> adoConnection_;  // borrowed from the CAxConnection
  std::u16string source_;
  std::shared_ptr<provider::Fields> fields_;
  mirdane::Variant exchangeValue_;
  std::int32_t lastResult_ = 0;

  // Each column name is looked up in the Fields collection once per open
  // recordset; a name the source lacks is remembered as such too. A row
  // names a dozen or so columns, always in the same order: the lookups are
  // kept in the order first made, and the one after the last found is tried
  // first, by plain comparison, before the others are searched ignoring case.
  // What assigning a text needs to know of a column, read from its field
  // once: it holds while the recordset is open.
  struct FieldTraits {
    bool decimal = false;
    std::uint8_t precision = 0;  // of a decimal column; 0 when it cannot be read
    mirdane::HRESULT attributesResult = 0;
    std::int32_t attributes = 0;
  };
  struct FieldLookup {
    std::u16string name;  // as first asked for
    mirdane::HRESULT result;
    std::shared_ptr<provider::Field> field;
    std::optional<FieldTraits> traits;
  };
  static const FieldTraits& TraitsOf(FieldLookup& lookup);
  std::vector<FieldLookup> fieldLookups_;
  static constexpr std::size_t kUsualLookups = 16;
  std::size_t nextLookup_ = 0;
  void ClearFieldLookups();
  std::u16string exchangeText_;  // where a column that takes no text is read back to
};

// The number of digits a decimal column needs for `text`: signs, a decimal
// point, surrounding blanks and the leading zeros of the integer part need none.
int DecimalDigitCount(std::u16string_view text);

}  // namespace dbAx
