#include "platform/registry/RegPath.h"

#include "platform/text/Unicode.h"

namespace cva::reg {

namespace {

struct CRootName {
    const char* m_short;
    const char* m_long;
    HKEY m_key;
};

const CRootName* Roots() {
    static const CRootName roots[] = {
        {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKU", "HKEY_USERS", HKEY_USERS},
        {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKCC", "HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {nullptr, nullptr, nullptr},
    };
    return roots;
}

} // namespace

bool ParseRegPath(std::string_view text, CRegPath& out) {
    size_t slash = text.find('\\');
    std::string_view root = text.substr(0, slash);
    std::string_view rest = slash == std::string_view::npos ? std::string_view() : text.substr(slash + 1);
    for (const CRootName* r = Roots(); r->m_short; ++r) {
        if (text::EqualsNoCaseUtf8(root, r->m_short) || text::EqualsNoCaseUtf8(root, r->m_long)) {
            out.m_root = r->m_key;
            out.m_rootName = r->m_long;
            while (!rest.empty() && rest.back() == '\\') rest.remove_suffix(1);
            out.m_subKey = std::string(rest);
            return true;
        }
    }
    return false;
}

std::string RootLongName(HKEY root) {
    for (const CRootName* r = Roots(); r->m_short; ++r)
        if (r->m_key == root) return r->m_long;
    return {};
}

} // namespace cva::reg
