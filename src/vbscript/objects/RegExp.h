#pragma once

#include "vbscript/Object.h"
#include "vbscript/Variant.h"
#include "vbscript/runtime/Regex.h"

#include <string>

namespace cva::vbs {

// VBScript.RegExp (also `New RegExp`): the pattern is compiled on first use after any
// change of Pattern, IgnoreCase or Multiline, so a bad pattern raises its error where
// the script uses it, as VBScript does.
class CRegExp : public IObject {
public:
    DispId GetMemberId(std::u16string_view name) override;
    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override;
    std::u16string TypeName() const override { return u"IRegExp2"; }

private:
    Status Compiled(const rt::CRegex*& out);
    Status Execute(const VString& subject, Variant& result);

    std::u16string m_pattern;
    bool m_ignoreCase = false;
    bool m_global = false;
    bool m_multiline = false;
    bool m_dirty = true;
    rt::CRegex m_regex;
};

} // namespace cva::vbs
