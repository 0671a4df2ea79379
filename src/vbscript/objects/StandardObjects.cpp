#include "vbscript/objects/StandardObjects.h"

#include "vbscript/objects/Dictionary.h"

namespace cva::vbs {

void RegisterStandardObjects(CObjectRegistry& registry)
{
    registry.Register(u"Scripting.Dictionary", [](IScriptServices&, ObjectRef& out) {
        out = MakeObject<CDictionary>();
        return Status::Ok();
    });
}

} // namespace cva::vbs
