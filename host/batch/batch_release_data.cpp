#include "host/batch/batch_release_data.h"

#include "host/batch/batch_values.h"

namespace mirdane::batch {
namespace {

using mirdane::HRESULT;
namespace hr = mirdane::hr;

class BatchReleaseData final : public kfx::ReleaseData {
 public:
  BatchReleaseData(const BatchFile& batch, const DocumentRecord& document, HostLog& log)
      : batch_(batch), document_(std::make_shared<const DocumentRecord>(document)), log_(log),
        properties_(std::make_shared<NamedTexts>(batch.setup.customProperties)) {}

  HRESULT get_KofaxPDFFileName(std::u16string* name) override { return Give(document_->pdfFileName, name); }
  HRESULT get_ConnectString(std::u16string* text) override { return Give(batch_.setup.connectString, text); }
  HRESULT get_UserName(std::u16string* text) override { return Give(batch_.setup.userName, text); }
  HRESULT get_Password(std::u16string* text) override { return Give(batch_.setup.password, text); }

  HRESULT get_CustomProperties(std::shared_ptr<kfx::CustomProperties>* properties) override {
    *properties = MakeCustomProperties(properties_);
    return hr::kOk;
  }

  HRESULT get_Values(std::shared_ptr<kfx::Values>* values) override {
    *values = MakeValues(ResolveValues(batch_.setup, document_));
    return hr::kOk;
  }

  HRESULT LogError(std::int32_t err1, std::int32_t, std::int32_t, const std::u16string& message,
                   const std::u16string& codeModule, std::int32_t lineNumber) override {
    return log_.LogError(err1, message, codeModule, lineNumber) ? hr::kOk : hr::kFail;
  }

  HRESULT SendMessage(const std::u16string& message, std::int32_t, std::int32_t) override {
    log_.SendMessage(document_->number, message);
    return hr::kOk;
  }

  HRESULT get_UniqueDocumentID(std::u16string* id) override {
    if (!document_->uniqueDocumentId) return hr::kUnknownName;
    return Give(*document_->uniqueDocumentId, id);
  }

 private:
  static HRESULT Give(const std::u16string& text, std::u16string* out) {
    *out = text;
    return hr::kOk;
  }

  const BatchFile& batch_;
  // A copy: the script keeps the release data after the call that handed
  // the document over, and a document read from a stream is gone by then.
  // Shared with the values made from it, which refer to its tables' texts.
  const std::shared_ptr<const DocumentRecord> document_;
  HostLog& log_;
  std::shared_ptr<NamedTexts> properties_;
};

}  // namespace

std::shared_ptr<kfx::ReleaseData> MakeReleaseData(const BatchFile& batch,
                                                  const DocumentRecord& document, HostLog& log) {
  return std::make_shared<BatchReleaseData>(batch, document, log);
}

}  // namespace mirdane::batch
