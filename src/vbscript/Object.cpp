#include "vbscript/Object.h"

namespace cva::vbs {

Status IObject::NewEnum(EnumeratorPtr& out)
{
    out.reset();
    return Status(kErrNotCollection);
}

} // namespace cva::vbs
