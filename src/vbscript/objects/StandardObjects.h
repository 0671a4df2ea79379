#pragma once

#include "vbscript/ObjectRegistry.h"

namespace cva::vbs {

// Registers the objects scripts can create by name: Scripting.Dictionary,
// Scripting.FileSystemObject, WScript.Shell, WScript.Network, VBScript.RegExp. Every
// new engine calls this on its registry.
void RegisterStandardObjects(CObjectRegistry& registry);

} // namespace cva::vbs
