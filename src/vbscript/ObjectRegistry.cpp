#include "vbscript/ObjectRegistry.h"

#include "platform/text/Unicode.h"

namespace cva::vbs {

void CObjectRegistry::Register(std::u16string_view progId, ObjectFactory factory)
{
    m_factories[text::ToUpper(progId)] = std::move(factory);
}

bool CObjectRegistry::Contains(std::u16string_view progId) const
{
    return m_factories.count(text::ToUpper(progId)) != 0;
}

Status CObjectRegistry::Create(std::u16string_view progId, IScriptServices& services,
                               ObjectRef& out) const
{
    out = nullptr;
    auto it = m_factories.find(text::ToUpper(progId));
    if (it == m_factories.end() || !it->second)
        return Status(kErrCantCreateObject);
    Status st = it->second(services, out);
    if (st.IsOk() && !out)
        return Status(kErrCantCreateObject);
    return st;
}

} // namespace cva::vbs
