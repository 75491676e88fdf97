#include "component/class_table.h"

#include "component/release_script_object.h"
#include "component/setup_script_object.h"

namespace mirdane::component {
namespace {

ClassFactory release_factory(&CReleaseScriptObject::Create<CReleaseScriptObject>);
ClassFactory setup_factory(&CSetupScriptObject::Create<CSetupScriptObject>);

const ClassEntry kClassTable[] = {
    {&CLSID_LorvenExportConnector, &release_factory},
    {&CLSID_CppdSetupScript, &setup_factory},
};

}  // namespace

const ClassEntry* ClassTableBegin() { return std::begin(kClassTable); }
const ClassEntry* ClassTableEnd() { return std::end(kClassTable); }

}  // namespace mirdane::component
