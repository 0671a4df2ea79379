// Parses and runs arbitrary text as VBScript. A step budget interrupts endless loops
// and recursion, so every input finishes; the engine must never crash or leak.
#include "vbscript/Engine.h"

#include "platform/text/Unicode.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

class CIgnoreErrors : public cva::vbs::IScriptSite {
public:
    void OnScriptError(const cva::vbs::ScriptErrorInfo&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64 * 1024)
        return 0;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::u16string text = cva::text::Utf8ToUtf16(bytes);
    cva::vbs::CScriptEngine engine;
    CIgnoreErrors site;
    engine.SetSite(&site);
    engine.SetStepLimit(20000);
    engine.ParseScript(text);
    if (engine.HasRoutine(u"OnInit")) {
        engine.SetStepLimit(20000);
        cva::vbs::Variant args[2] = {cva::vbs::Variant(int32_t{1}), cva::vbs::Variant(int32_t{2})};
        engine.CallRoutine(u"OnInit", {});
        engine.CallRoutine(u"OnApply", args);
    }
    engine.Close();
    return 0;
}
