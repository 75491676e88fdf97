// A recordset that fails to close after every row was stored: the document is
// in XA and must be reported as released, or the host would release it again.
#include <gtest/gtest.h>

#include "dbax/provider/object_factory.h"
#include "dbax/provider/provider_recordset.h"
#include "tests/support/release_harness.h"

namespace mirdane::test {
namespace {

namespace provider = dbAx::provider;
using mirdane::HRESULT;
using mirdane::Variant;

// The provider's own recordset, except that Close fails.
class FailingClose final : public provider::Recordset {
 public:
  HRESULT put_Source(const std::u16string& s) override { return real_.put_Source(s); }
  HRESULT putref_ActiveConnection(const std::shared_ptr<provider::Connection>& c) override {
    return real_.putref_ActiveConnection(c);
  }
  HRESULT Open(const Variant& s, const Variant& c, std::int32_t t, std::int32_t l, std::int32_t o) override {
    return real_.Open(s, c, t, l, o);
  }
  HRESULT get_Fields(std::shared_ptr<provider::Fields>* f) override { return real_.get_Fields(f); }
  HRESULT put_CursorType(std::int32_t v) override { return real_.put_CursorType(v); }
  HRESULT get_CursorType(std::int32_t* v) override { return real_.get_CursorType(v); }
  HRESULT put_CacheSize(std::int32_t v) override { return real_.put_CacheSize(v); }
  HRESULT get_CacheSize(std::int32_t* v) override { return real_.get_CacheSize(v); }
  HRESULT put_CursorLocation(std::int32_t v) override { return real_.put_CursorLocation(v); }
  HRESULT get_CursorLocation(std::int32_t* v) override { return real_.get_CursorLocation(v); }
  HRESULT put_MarshalOptions(std::int32_t v) override { return real_.put_MarshalOptions(v); }
  HRESULT get_MarshalOptions(std::int32_t* v) override { return real_.get_MarshalOptions(v); }
  HRESULT Supports(std::int32_t o, bool* s) override { return real_.Supports(o, s); }
  HRESULT AddNew(const Variant& a, const Variant& b) override { return real_.AddNew(a, b); }
  HRESULT Update(const Variant& a, const Variant& b) override { return real_.Update(a, b); }
  HRESULT get_EditMode(std::int32_t* m) override { return real_.get_EditMode(m); }
  HRESULT CancelUpdate() override { return real_.CancelUpdate(); }
  HRESULT Resync(std::int32_t a, std::int32_t v) override { return real_.Resync(a, v); }
  HRESULT get_State(std::int32_t* s) override { return real_.get_State(s); }
  HRESULT get_BOF(bool* b) override { return real_.get_BOF(b); }
  HRESULT get_EOF(bool* e) override { return real_.get_EOF(e); }
  HRESULT MoveFirst() override { return real_.MoveFirst(); }
  HRESULT MoveNext() override { return real_.MoveNext(); }
  HRESULT Close() override { return provider::ado::adErrIllegalOperation; }

 private:
  provider::ProviderRecordset real_;
};

TEST(ReleaseClose, AFailingCloseAfterEveryRowWasStoredStillReleasesTheDocument) {
  for (const bool header : {true, false}) {
    ReleaseHarness harness;
    harness.AddDocument()["pdfFileName"] = "doc.pdf";
    int created = 0;
    // The header's recordset is created first, the lines' second.
    provider::ScopedObjectFactory factory(provider::ObjectFactory{
        nullptr, [&](std::shared_ptr<provider::Recordset>* out) -> HRESULT {
          ++created;
          if ((created == 1) == header) *out = std::make_shared<FailingClose>();
          else *out = std::make_shared<provider::ProviderRecordset>();
          return 0;
        },
        nullptr});
    const auto run = harness.Run();
    EXPECT_EQ(run.results, std::vector<kfx::KfxReturnValue>{kfx::KFX_REL_SUCCESS});
    EXPECT_EQ(harness.Rows("UAGYCPP").rows.size(), 1u);
    EXPECT_EQ(harness.Rows("UAG0CPP").rows.size(), 1u);
    ASSERT_EQ(run.log.size(), 2u);
    EXPECT_EQ(run.log[0].severity, 0) << "kept in the log, not shown as a document error";
    EXPECT_NE(run.log[0].message.find("The dbAx Library failed to close"), std::string::npos);
    EXPECT_EQ(run.log[1].message, "Document Released Successfully doc.pdf");
    EXPECT_TRUE(run.status.empty());
  }
}

TEST(ReleaseClose, AFailingCloseAfterAFailureIsNotReportedASecondTime) {
  ReleaseHarness harness;
  harness.Link("20241231", 1, "UAGYCPP.GYABNW");
  harness.AddDocument();
  provider::ScopedObjectFactory factory(provider::ObjectFactory{
      nullptr, [](std::shared_ptr<provider::Recordset>* out) -> HRESULT {
        *out = std::make_shared<FailingClose>();
        return 0;
      },
      nullptr});
  const auto run = harness.Run();
  EXPECT_EQ(run.results, std::vector<kfx::KfxReturnValue>{kfx::KFX_REL_ERROR});
  ASSERT_EQ(run.log.size(), 1u);
  EXPECT_EQ(run.log[0].line, 172);
}

}  // namespace
}  // namespace mirdane::test
