#include "vbscript/objects/StandardObjects.h"

namespace cva::vbs {

void RegisterStandardObjects(CObjectRegistry& registry)
{
    (void)registry;
}

} // namespace cva::vbs
