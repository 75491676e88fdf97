#include "host/batch/batch_release.h"

#include "host/batch/batch_release_data.h"
#include "release/release_script.h"

namespace mirdane::batch {

std::size_t ReleaseDocuments(const BatchFile& file, HostLog& log, const ReleaseHooks& hooks) {
  releaseScript script;
  kfx::KfxReturnValue result = kfx::KFX_REL_SUCCESS;
  std::size_t released = 0;
  bool opened = false;
  for (const auto& document : file.documents) {
    if (hooks.before) hooks.before(document);
    script.putref_DocumentData(MakeReleaseData(file, document, log));
    if (!opened) {
      script.OpenScript(&result);
      opened = true;
    }
    script.ReleaseDoc(&result);
    if (result == kfx::KFX_REL_SUCCESS) ++released;
    if (hooks.after) hooks.after(document, result);
  }
  if (!opened) script.OpenScript(&result);
  script.CloseScript(&result);
  return released;
}

}  // namespace mirdane::batch
