// The template part of batch_run.h.
#pragma once

#include <fstream>
#include <sstream>

#include "host/batch/batch_release_data.h"
#include "host/batch/host_log.h"
#include "release/release_script.h"

namespace mirdane::test {

template <typename Between>
BatchOutcome ReleaseBatch(const batch::BatchFile& file, const std::filesystem::path& log_dir,
                          Between between) {
  BatchOutcome outcome;
  DocumentOutcome* current = nullptr;
  batch::HostLog log(log_dir, [&current](const std::string& text) {
    if (current) current->errors.push_back(text);
  });
  releaseScript script;
  kfx::KfxReturnValue result = kfx::KFX_REL_SUCCESS;
  outcome.documents.resize(file.documents.size());
  for (std::size_t i = 0; i < file.documents.size(); ++i) {
    if (i > 0) between(i);
    current = &outcome.documents[i];
    script.putref_DocumentData(batch::MakeReleaseData(file, file.documents[i], log));
    if (i == 0) script.OpenScript(&result);
    script.ReleaseDoc(&current->result);
  }
  script.CloseScript(&result);
  std::ifstream in(log.CurrentLogFile());
  std::ostringstream text;
  text << in.rdbuf();
  outcome.log = text.str();
  return outcome;
}

}  // namespace mirdane::test
