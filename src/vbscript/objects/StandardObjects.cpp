#include "vbscript/objects/StandardObjects.h"

#include "vbscript/objects/Dictionary.h"
#include "vbscript/objects/FileSystemObject.h"
#include "vbscript/objects/RegExp.h"
#include "vbscript/objects/WshNetwork.h"
#include "vbscript/objects/WshShell.h"

namespace cva::vbs {

void RegisterStandardObjects(CObjectRegistry& registry)
{
    registry.Register(u"Scripting.Dictionary", [](IScriptServices&, ObjectRef& out) {
        out = MakeObject<CDictionary>();
        return Status::Ok();
    });
    registry.Register(u"Scripting.FileSystemObject", [](IScriptServices& services, ObjectRef& out) {
        out = MakeObject<CFileSystemObject>(services);
        return Status::Ok();
    });
    registry.Register(u"WScript.Shell", [](IScriptServices& services, ObjectRef& out) {
        out = MakeObject<CWshShell>(services);
        return Status::Ok();
    });
    registry.Register(u"WScript.Network", [](IScriptServices& services, ObjectRef& out) {
        out = MakeObject<CWshNetwork>(services);
        return Status::Ok();
    });
    registry.Register(u"VBScript.RegExp", [](IScriptServices&, ObjectRef& out) {
        out = MakeObject<CRegExp>();
        return Status::Ok();
    });
}

} // namespace cva::vbs
