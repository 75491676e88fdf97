// The ADO backend's table over scripted ADO objects: the calls it makes for
// a row, and what it makes of ADO's failures.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <algorithm>

#include "dbax/provider/ado/ado_table.h"
#include "dbax/provider/ado/ado_values.h"
#include "tests/wine/ado/fake_ado.h"

namespace dbAx::provider::adodb::test {
namespace {

using mirdane::Variant;
using Log = std::vector<std::string>;

constexpr HRESULT kMultipleStepErrors = static_cast<HRESULT>(0x80040E21);

class AdoTableTest : public ::testing::Test {
 protected:
  AdoTableTest() {
    script_->columns = {{u"NAME", 129, 0x4, 0, 0, 10}, {u"AMOUNT", 14, 0x8, 7, 2, 19},
                        {u"FIXED", 129, 0x0, 0, 0, 1}};
  }

  std::unique_ptr<AdoTable> Table() {
    auto table = std::make_unique<AdoTable>(MakeFakeConnection(script_), MakeFakeRecordset(script_),
                                            u"XALIB.UAGYCPP");
    Failure failure;
    EXPECT_TRUE(table->Describe(&failure)) << Described(failure);
    script_->log.clear();
    return table;
  }

  static std::string Described(const Failure& failure) {
    std::string text;
    for (const auto& error : failure.errors) {
      text += std::to_string(error.number) + ":" +
              std::string(error.description.begin(), error.description.end()) + "|";
    }
    return text;
  }

  std::shared_ptr<FakeAdoScript> script_ = std::make_shared<FakeAdoScript>();
};

TEST_F(AdoTableTest, ColumnsCarryAdosTypePrecisionScaleSizeAndAttributes) {
  auto table = Table();
  ASSERT_EQ(table->columns().size(), 3u);
  const ColumnInfo& amount = table->columns()[1];
  EXPECT_EQ(amount.name, u"AMOUNT");
  EXPECT_EQ(amount.type, 14);
  EXPECT_EQ(amount.precision, 7);
  EXPECT_EQ(amount.scale, 2);
  EXPECT_EQ(amount.defined_size, 19);
  EXPECT_EQ(amount.attributes, 0x8);
  EXPECT_EQ(table->columns()[0].defined_size, 10);
}

TEST_F(AdoTableTest, APrecisionAdoCannotTellIsZeroButANameItCannotTellFailsTheOpen) {
  script_->failures["Field(AMOUNT).Precision"] = E_NOTIMPL;
  auto table = Table();
  EXPECT_EQ(table->columns()[1].precision, 0);
  EXPECT_EQ(table->columns()[1].scale, 2);

  script_->failures["Field.Name"] = E_FAIL;
  AdoTable nameless(MakeFakeConnection(script_), MakeFakeRecordset(script_), u"XALIB.UAGYCPP");
  Failure failure;
  EXPECT_FALSE(nameless.Describe(&failure));
  EXPECT_EQ(Described(failure), std::to_string(E_FAIL) +
                                    ":The name of column #1 of XALIB.UAGYCPP could not be read; "
                                    "ADO's Field.Name failed without giving a reason.|");
}

TEST_F(AdoTableTest, ARowIsOneAddNewItsPutsAndOneUpdate) {
  auto table = Table();
  Variant stored;
  Failure failure;
  ASSERT_TRUE(table->AcceptValue(0, Variant::Text(u"ACME"), &stored, &failure));
  EXPECT_EQ(*stored.AsText(), u"ACME");
  ASSERT_TRUE(table->AcceptValue(1, Variant::Text(u""), &stored, &failure));
  ASSERT_TRUE(table->InsertRow({{0, Variant::Text(u"ACME")}, {1, Variant::Text(u"")}}, &failure));
  // The next row starts afresh.
  ASSERT_TRUE(table->AcceptValue(0, Variant::Null(), &stored, &failure));
  ASSERT_TRUE(table->InsertRow({{0, Variant::Null()}}, &failure));
  EXPECT_EQ(script_->log, (Log{"Recordset.AddNew", "Field(NAME).Value='ACME'",
                               "Field(AMOUNT).Value=''", "Recordset.Update", "Recordset.AddNew",
                               "Field(NAME).Value=NULL", "Recordset.Update"}));
}

TEST_F(AdoTableTest, ARefusedValueCarriesTheProvidersErrorsOnceAndTheRowIsRebuilt) {
  auto table = Table();
  script_->failures["Field(AMOUNT).Value"] = kMultipleStepErrors;
  script_->provider_errors = {{-2147217887, u"Multiple-step operation generated errors."},
                              {-2147217913, u"Conversion failed for AMOUNT."}};
  Variant stored;
  Failure failure;
  ASSERT_TRUE(table->AcceptValue(0, Variant::Text(u"ACME"), &stored, &failure));
  ASSERT_FALSE(table->AcceptValue(1, Variant::Text(u"12A"), &stored, &failure));
  EXPECT_EQ(failure.result, kMultipleStepErrors);
  EXPECT_EQ(Described(failure),
            "-2147217887:Multiple-step operation generated errors.|"
            "-2147217913:Conversion failed for AMOUNT.|");
  EXPECT_TRUE(script_->errors_now.empty()) << "ADO's errors must be cleared once read";

  // The caller gives the row up and builds another with NAME only: ADO's
  // pending row still holds whatever AMOUNT took, so it is replaced.
  script_->failures.clear();
  script_->log.clear();
  ASSERT_TRUE(table->AcceptValue(0, Variant::Text(u"NEXT"), &stored, &failure));
  ASSERT_TRUE(table->InsertRow({{0, Variant::Text(u"NEXT")}}, &failure)) << Described(failure);
  EXPECT_EQ(script_->log,
            (Log{"Field(NAME).Value='NEXT'", "Recordset.CancelUpdate", "Recordset.AddNew",
                 "Field(NAME).Value='NEXT'", "Recordset.Update"}));
}

TEST_F(AdoTableTest, ARowThatCannotBeDiscardedIsNotMixedIntoTheNext) {
  auto table = Table();
  Variant stored;
  Failure failure;
  ASSERT_TRUE(table->AcceptValue(0, Variant::Text(u"OLD"), &stored, &failure));
  ASSERT_TRUE(table->AcceptValue(1, Variant::Text(u"1"), &stored, &failure));
  script_->failures["Recordset.CancelUpdate"] = E_NOTIMPL;
  // A row of other columns than the pending one needs a fresh row.
  EXPECT_FALSE(table->InsertRow({{0, Variant::Text(u"NEW")}}, &failure));
  EXPECT_EQ(Described(failure),
            std::to_string(E_NOTIMPL) +
                ":The unfinished row of XALIB.UAGYCPP could not be discarded; ADO's "
                "Recordset.CancelUpdate failed without giving a reason.|");
  EXPECT_EQ(std::count(script_->log.begin(), script_->log.end(), "Recordset.Update"), 0);
}

TEST_F(AdoTableTest, AFailedUpdateSaysWhatFailedInAdosOwnWordsOrNamesTheCall) {
  auto table = Table();
  Failure failure;
  script_->failures["Recordset.Update"] = E_FAIL;
  script_->error_info = u"Operation is not allowed in this context.";
  ASSERT_FALSE(table->InsertRow({}, &failure));
  EXPECT_EQ(failure.result, E_FAIL);
  EXPECT_EQ(Described(failure), std::to_string(E_FAIL) +
                                    ":The row could not be stored in XALIB.UAGYCPP: Operation is "
                                    "not allowed in this context.|");

  // The row stays pending, as in ADO: a second attempt only updates again.
  script_->error_info.clear();
  script_->failures["Recordset.Update"] = E_NOTIMPL;
  script_->log.clear();
  ASSERT_FALSE(table->InsertRow({}, &failure));
  EXPECT_EQ(script_->log, Log{"Recordset.Update"});
  EXPECT_EQ(Described(failure), std::to_string(E_NOTIMPL) +
                                    ":The row could not be stored in XALIB.UAGYCPP; ADO's "
                                    "Recordset.Update failed without giving a reason.|");
}

TEST_F(AdoTableTest, ARecordsetThatSaysItCannotAddRowsIsRefusedAtOnce) {
  script_->supports_answer = VARIANT_FALSE;
  AdoTable refusing(MakeFakeConnection(script_), MakeFakeRecordset(script_), u"XALIB.UAGYCPP");
  Failure failure;
  EXPECT_FALSE(refusing.Describe(&failure));
  EXPECT_EQ(Described(failure), std::to_string(E_FAIL) +
                                    ":XALIB.UAGYCPP does not take new rows through this "
                                    "connection (the ADO recordset supports no AddNew).|");

  // One that cannot answer the question is trusted.
  script_->supports_result = E_NOTIMPL;
  AdoTable silent(MakeFakeConnection(script_), MakeFakeRecordset(script_), u"XALIB.UAGYCPP");
  EXPECT_TRUE(silent.Describe(&failure));
}

TEST_F(AdoTableTest, GoingAwayDropsAPendingRowAndClosesTheRecordset) {
  {
    auto table = Table();
    Variant stored;
    Failure failure;
    ASSERT_TRUE(table->AcceptValue(0, Variant::Text(u"X"), &stored, &failure));
    script_->log.clear();
  }
  EXPECT_EQ(script_->log, (Log{"Recordset.CancelUpdate", "Recordset.Close"}));
}

TEST_F(AdoTableTest, ValuesNoColumnTakesAreRefusedBeforeAdoSeesThem) {
  auto table = Table();
  Variant stored;
  Failure failure;
  EXPECT_FALSE(table->AcceptValue(0, Variant::ObjectRef(nullptr), &stored, &failure));
  EXPECT_EQ(Described(failure), std::to_string(kMultipleStepErrors) +
                                    ":Column NAME takes text, numbers or NULL; this value is none "
                                    "of them.|");
  EXPECT_FALSE(table->AcceptValue(7, Variant::Text(u"X"), &stored, &failure));
  for (const auto& call : script_->log) EXPECT_EQ(call.rfind("Field(", 0), std::string::npos);
}

TEST(AdoValues, TextsBecomeStringsAndAnEmptyTextIsNeverANullString) {
  VARIANT value;
  ASSERT_EQ(ToVariant(Variant::Text(u""), &value), S_OK);
  EXPECT_EQ(value.vt, VT_BSTR);
  EXPECT_NE(value.bstrVal, nullptr);
  EXPECT_EQ(::SysStringLen(value.bstrVal), 0u);
  ::VariantClear(&value);
  ASSERT_EQ(ToVariant(Variant::Text(u"20241231"), &value), S_OK);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(value.bstrVal)), u"20241231");
  ::VariantClear(&value);
  ASSERT_EQ(ToVariant(Variant::Null(), &value), S_OK);
  EXPECT_EQ(value.vt, VT_NULL);
  ASSERT_EQ(ToVariant(Variant::I4(-5), &value), S_OK);
  EXPECT_EQ(value.vt, VT_I4);
  EXPECT_EQ(value.lVal, -5);
  EXPECT_EQ(ToVariant(Variant::ObjectRef(nullptr), &value), DISP_E_TYPEMISMATCH);
  const VARIANT missing = MissingArgument();
  EXPECT_EQ(missing.vt, VT_ERROR);
  EXPECT_EQ(missing.scode, DISP_E_PARAMNOTFOUND);
}

}  // namespace
}  // namespace dbAx::provider::adodb::test
