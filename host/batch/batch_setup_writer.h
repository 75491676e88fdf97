// Writing a setup back into its batch file, as the host stores a setup when
// it is applied.
#pragma once

#include <filesystem>
#include <string>

#include "host/batch/batch_file.h"

namespace mirdane::batch {

// Puts `setup`'s connection settings, custom properties and links into the
// "setup" member of the batch file at `path`. Every other byte of the file
// stays as it is (the documents included), and so do the setup's other
// members; the file is replaced atomically. Throws BatchFileError.
void WriteSetup(const std::filesystem::path& path, const SetupRecord& setup);

// The same on a file's contents: gives the new contents. `path` names the
// file in messages.
std::string WriteSetupInto(const std::string& text, const SetupRecord& setup,
                           const std::filesystem::path& path);

}  // namespace mirdane::batch
