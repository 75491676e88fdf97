// Replacing a file so that a crash leaves either the old or the new contents,
// never half of the new.
#pragma once

#include <filesystem>
#include <string>

namespace mirdane::batch {

// Writes `bytes` to a new file beside `path`, flushes it to the disk and
// renames it over `path` (through a symbolic link, over the link's target).
// The file keeps its permissions. Throws BatchFileError; then `path` is
// unchanged and no temporary file is left.
void ReplaceFileAtomically(const std::filesystem::path& path, const std::string& bytes);

}  // namespace mirdane::batch
