// SetLocale belongs to the engine that ran it: another engine keeps the default, and the
// same engine keeps its choice for the routines called later.
#include "vbscript/Engine.h"

#include <gtest/gtest.h>

namespace {

using namespace cva::vbs;

int32_t Locale(CScriptEngine& engine)
{
    Variant r;
    engine.CallRoutine(u"Current", {}, &r);
    return r.AsLong();
}

TEST(EngineLocale, SetLocaleLastsForItsEngineOnly)
{
    const char16_t* script = u"Function Current() : Current = GetLocale() : End Function";
    CScriptEngine german;
    CScriptEngine other;
    ASSERT_TRUE(german.ParseScript(script));
    ASSERT_TRUE(other.ParseScript(script));
    ASSERT_TRUE(german.ParseScript(u"SetLocale 1031"));
    EXPECT_EQ(Locale(other), 1033);
    EXPECT_EQ(Locale(german), 1031);
}

} // namespace
