#pragma once

#include "vbscript/Object.h"
#include "vbscript/ScriptServices.h"
#include "vbscript/Status.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace cva::vbs {

// Creates one object for CreateObject / New. The services are those of the engine that
// asks; an object that needs them keeps the reference (the engine outlives its objects'
// use of it only while the engine is open, so keep no services beyond that).
using ObjectFactory = std::function<Status(IScriptServices& services, ObjectRef& out)>;

// CreateObject's table of program identifiers ("Scripting.Dictionary"), matched without
// regard to case. `New RegExp` in a script looks up "VBScript.RegExp".
class CObjectRegistry {
public:
    void Register(std::u16string_view progId, ObjectFactory factory);
    bool Contains(std::u16string_view progId) const;
    // 429 "ActiveX component can't create object" for an unknown identifier.
    Status Create(std::u16string_view progId, IScriptServices& services, ObjectRef& out) const;

private:
    std::unordered_map<std::u16string, ObjectFactory> m_factories; // keyed upper-case
};

} // namespace cva::vbs
