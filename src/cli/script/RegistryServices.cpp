#include "cli/script/HostServices.h"

// Without a target there is no registry: every call fails as WScript.Shell reports a
// key it cannot open.
namespace cva::cli {

using namespace cva::vbs;

Status CHostServices::RegRead(std::u16string_view name, Variant& out)
{
    out.Clear();
    return Status(kErrInvalidCall,
                  u"Unable to open registry key \"" + std::u16string(name) + u"\" for reading.");
}

Status CHostServices::RegWrite(std::u16string_view name, const Variant&, std::u16string_view)
{
    return Status(kErrInvalidCall, u"Invalid root in registry key \"" + std::u16string(name) + u"\".");
}

Status CHostServices::RegDelete(std::u16string_view name)
{
    return Status(kErrInvalidCall,
                  u"Unable to remove registry key \"" + std::u16string(name) + u"\".");
}

} // namespace cva::cli
