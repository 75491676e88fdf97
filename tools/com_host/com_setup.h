// Running a batch file's setup through the registered COM server, as the
// capture host's Administration module does: the setup script is created by
// its ProgID, handed the batch file's setup data as an automation object,
// and driven by name through IDispatch (OpenScript, RunUI, CloseScript).
// When the administrator presses OK, the script's Apply writes the setup
// into the batch file.
#pragma once

#include <string>

#include "host/batch/batch_file.h"

namespace mirdane::hostcom {

inline constexpr wchar_t kSetupScriptProgId[] = L"mirdane.CppdSetupScript";

struct ComSetupOutcome {
  bool applied = false;  // the setup was applied (OK pressed) and written
  std::string error;     // why the script could not be created or driven, or the file written
};

ComSetupOutcome RunSetupThroughCom(const batch::BatchFile& file);

}  // namespace mirdane::hostcom
