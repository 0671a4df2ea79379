#include "vbscript/Object.h"

#include <vector>

namespace cva::vbs {

Status IObject::NewEnum(EnumeratorPtr& out)
{
    out.reset();
    return Status(kErrNotCollection);
}

void IObject::DeleteObject(IObject* object)
{
    thread_local bool deleting = false;
    thread_local std::vector<IObject*> pending;
    if (deleting) {
        pending.push_back(object);
        return;
    }
    deleting = true;
    delete object;
    while (!pending.empty()) {
        IObject* next = pending.back();
        pending.pop_back();
        delete next;
    }
    deleting = false;
}

} // namespace cva::vbs
