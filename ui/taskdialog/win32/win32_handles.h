// The task dialog's handles are held by the shared owners of win32/.
#pragma once

#include "win32/gdi.h"
#include "win32/handles.h"

namespace mirdane::taskdialog::win32 {

using ::mirdane::win32::LastErrorResult;
using ::mirdane::win32::ScopedSelectObject;
using ::mirdane::win32::UniqueHBrush;
using ::mirdane::win32::UniqueHdc;
using ::mirdane::win32::UniqueHFont;
using ::mirdane::win32::UniqueHIcon;
using ::mirdane::win32::UniqueHPen;
using ::mirdane::win32::UniqueModule;

}  // namespace mirdane::taskdialog::win32
