// The release script: what the host's Release module drives to export
// documents. It is handed the release data, opened, asked to release each
// document in turn, and closed.
#pragma once

#include <memory>

#include "host/host_objects.h"

namespace mirdane {

class releaseScript {
 public:
  releaseScript() = default;
  releaseScript(const releaseScript&) = delete;
  releaseScript& operator=(const releaseScript&) = delete;

  // Every member answers S_OK; the outcome is in `result`.

  // Nothing to prepare: answers KFX_REL_SUCCESS.
  HRESULT OpenScript(kfx::KfxReturnValue* result);
  // Writes the current document as one bridge transaction.
  HRESULT ReleaseDoc(kfx::KfxReturnValue* result);
  // Drops the release data and clears the log target.
  HRESULT CloseScript(kfx::KfxReturnValue* result);
  // The release data held, or null.
  HRESULT get_DocumentData(std::shared_ptr<kfx::ReleaseData>* data);
  // Holds `data` and makes it the log target of release messages.
  HRESULT putref_DocumentData(std::shared_ptr<kfx::ReleaseData> data);

 private:
  kfx::KfxReturnValue ReleaseCurrentDocument(kfx::ReleaseData& data);

  std::shared_ptr<kfx::ReleaseData> releaseData_;
};

}  // namespace mirdane
