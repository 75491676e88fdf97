#include "host/batch/batch_release.h"

#include "host/batch/batch_release_data.h"
#include "base/text.h"
#include "release/release_script.h"
#include "setup/setup_mapping_model.h"

namespace mirdane::batch {

std::vector<std::string> CheckLinks(const BatchFile& file) {
  CSetupMappingModel catalogue;
  catalogue.BuildCatalogue();
  std::vector<std::string> warnings;
  for (std::size_t i = 0; i < file.setup.links.size(); ++i) {
    const LinkRecord& link = file.setup.links[i];
    const std::u16string& to = link.destination;
    // The links every setup carries to find a document's original file.
    if (to == u"OriginalFolder" || to == u"OriginalFileName" || to == u"OriginalFileNameExt") continue;
    if (catalogue.FindByIdentifier(to) >= 0) continue;
    const std::string where = file.path.string() + ":" + std::to_string(link.line) + ": setup.links[" +
                              std::to_string(i) + "]: the link from \"" + Utf16ToUtf8(link.source) +
                              "\" to " + Utf16ToUtf8(to);
    if (to == u"UAGYCPP.GYABNV" || to == u"UAG0CPP.G0ABNV" || to == u"UAG0CPP.G0GMNB") {
      warnings.push_back(where + " is ignored: the release writes that column itself");
    } else {
      warnings.push_back(where + " names no column of the field catalogue");
    }
  }
  return warnings;
}

std::size_t ReleaseDocuments(const BatchFile& file, HostLog& log, const ReleaseHooks& hooks) {
  return ReleaseDocuments(file, DocumentsOf(file), log, hooks);
}

std::size_t ReleaseDocuments(const BatchFile& file, const DocumentSource& documents, HostLog& log,
                             const ReleaseHooks& hooks) {
  releaseScript script;
  kfx::KfxReturnValue result = kfx::KFX_REL_SUCCESS;
  std::size_t released = 0;
  bool opened = false;
  // The script holds the document's release data until the next one
  // replaces it: CloseScript drops the last, whatever ends the loop.
  struct CloseAtEnd {
    releaseScript& script;
    bool& opened;
    ~CloseAtEnd() {
      kfx::KfxReturnValue ignored = kfx::KFX_REL_SUCCESS;
      if (!opened) script.OpenScript(&ignored);
      script.CloseScript(&ignored);
    }
  } closeAtEnd{script, opened};
  documents([&](const DocumentRecord& document) {
    if (hooks.before) hooks.before(document);
    script.putref_DocumentData(MakeReleaseData(file, document, log));
    if (!opened) {
      script.OpenScript(&result);
      opened = true;
    }
    script.ReleaseDoc(&result);
    if (result == kfx::KFX_REL_SUCCESS) ++released;
    if (hooks.after) hooks.after(document, result);
    return true;
  });
  return released;
}

}  // namespace mirdane::batch
