#pragma once

#include "vbscript/ScriptServices.h"
#include "vbscript/Variant.h"
#include "vbscript/objects/TextStream.h"

#include <span>
#include <string_view>

namespace cva::vbs::fso {

// The argument forms of the three ways to get a TextStream, checked and turned into
// an open stream. OpenTextFile(path, iomode, create, format);
// CreateTextFile(path, overwrite, unicode); OpenAsTextStream(iomode, format) of a file.
Status OpenTextFile(IScriptServices& services, std::u16string_view path,
                    std::span<const Variant> options, Ref<CTextStream>& out);
Status CreateTextFile(IScriptServices& services, std::u16string_view path,
                      std::span<const Variant> options, Ref<CTextStream>& out);
Status OpenAsTextStream(IScriptServices& services, std::u16string_view path,
                        std::span<const Variant> options, Ref<CTextStream>& out);

} // namespace cva::vbs::fso
