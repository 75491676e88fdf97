// The template part of batch_run.h.
#pragma once

#include <fstream>
#include <sstream>

#include "host/batch/batch_release.h"
#include "host/batch/host_log.h"

namespace mirdane::test {

template <typename Between>
BatchOutcome ReleaseBatch(const batch::BatchFile& file, const std::filesystem::path& log_dir,
                          Between between) {
  BatchOutcome outcome;
  DocumentOutcome* current = nullptr;
  batch::HostLog log(log_dir, [&current](const std::string& text) {
    if (current) current->errors.push_back(text);
  });
  outcome.documents.resize(file.documents.size());
  batch::ReleaseHooks hooks;
  hooks.before = [&](const batch::DocumentRecord& document) {
    const auto index = static_cast<std::size_t>(document.number - 1);
    if (index > 0) between(index);
    current = &outcome.documents[index];
  };
  hooks.after = [&](const batch::DocumentRecord&, kfx::KfxReturnValue result) {
    current->result = result;
  };
  batch::ReleaseDocuments(file, log, hooks);
  std::ifstream in(log.CurrentLogFile());
  std::ostringstream text;
  text << in.rdbuf();
  outcome.log = text.str();
  return outcome;
}

}  // namespace mirdane::test
