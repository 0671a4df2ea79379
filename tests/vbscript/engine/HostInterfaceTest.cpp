// The engine as the program's script host uses it: a described host item whose
// functions scripts call by bare or qualified name, errors reported through the site,
// routines called by name, interruption and re-entrant calls.
#include "vbscript/Engine.h"
#include "vbscript/SafeArray.h"

#include "platform/text/Unicode.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using namespace cva::vbs;

class CRecordingSite : public IScriptSite {
public:
    void OnScriptError(const ScriptErrorInfo& e) override { errors.push_back(e); }
    std::vector<ScriptErrorInfo> errors;
};

// A host item with a handful of functions of each argument type.
class CTestHost : public IHostItem {
public:
    Status Call(int32_t id, std::span<HostValue> args, HostValue& result) override
    {
        calls.push_back(id);
        switch (id) {
        case 1: // Twice(int16) -> int16
            result.number = args[0].number * 2;
            return Status::Ok();
        case 2: // Upper(string) -> string
            result.text = cva::text::ToUpperUtf8(args[0].text);
            return Status::Ok();
        case 3: // IsOn(bool) -> bool
            result.flag = args[0].flag;
            return Status::Ok();
        case 4: // Log(string)
            log.push_back(args[0].text);
            return Status::Ok();
        case 5: // Nothing() -> string that stays empty
            return Status::Ok();
        case 6: // Callback(string) -> variant: calls back into the script
            if (engine) {
                Variant r;
                Variant arg(int32_t{5});
                engine->CallRoutine(cva::text::Utf8ToUtf16(args[0].text), std::span<const Variant>(&arg, 1), &r);
                result.value = r;
            }
            return Status::Ok();
        case 7: // Wide(int32) -> int32
            result.number = args[0].number + 1;
            return Status::Ok();
        default:
            return Status(kErrNoSuchMember);
        }
    }
    std::vector<int32_t> calls;
    std::vector<std::string> log;
    CScriptEngine* engine = nullptr;
};

std::vector<HostFunction> Functions()
{
    return {
        {"Twice", {HostType::Int16}, HostType::Int16},
        {"Upper", {HostType::String}, HostType::String},
        {"IsOn", {HostType::Bool}, HostType::Bool},
        {"Note", {HostType::String}, HostType::Void},
        {"NothingText", {}, HostType::String},
        {"Callback", {HostType::String}, HostType::Variant},
        {"Wide", {HostType::Int32}, HostType::Int32},
    };
}

class HostInterface : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.engine = &engine;
        engine.SetSite(&site);
        engine.AddHostItem(u"ScriptHost", Functions(), host);
    }
    std::string Logged() const
    {
        std::string s;
        for (const auto& l : host.log)
            s += l + ";";
        return s;
    }
    CRecordingSite site;
    CTestHost host;
    CScriptEngine engine;
};

TEST_F(HostInterface, FunctionsAreReachedBareQualifiedAndInAnyCase)
{
    ASSERT_TRUE(engine.ParseScript(u"Note Twice(4)\nScriptHost.Note ScriptHost.Twice(5)\nnote TWICE(6)\n"));
    EXPECT_EQ(Logged(), "8;10;12;");
    EXPECT_TRUE(site.errors.empty());
}

TEST_F(HostInterface, ResultsConvertToScriptTypes)
{
    ASSERT_TRUE(engine.ParseScript(
        u"Note TypeName(Twice(1)) & TypeName(IsOn(1)) & IsOn(0) & TypeName(Wide(1)) & \"[\" & NothingText() & \"]\" & TypeName(NothingText())\n"
        u"Note Upper(\"abc\")\n"));
    EXPECT_EQ(Logged(), "IntegerBooleanFalseLong[]String;ABC;");
}

TEST_F(HostInterface, Int16OutOfRangeIsOverflowBeforeTheHostRuns)
{
    EXPECT_FALSE(engine.ParseScript(u"x = 1\nTwice 40000\n"));
    ASSERT_EQ(site.errors.size(), 1u);
    EXPECT_EQ(site.errors[0].number, 6);
    EXPECT_EQ(site.errors[0].line, 1u);
    EXPECT_EQ(site.errors[0].statusCode, 0x800A0006u);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(HostInterface, TextWhereANumberIsDeclaredIsTypeMismatch)
{
    EXPECT_FALSE(engine.ParseScript(u"Twice \"abc\"\n"));
    ASSERT_EQ(site.errors.size(), 1u);
    EXPECT_EQ(site.errors[0].number, 13);
    EXPECT_EQ(site.errors[0].description, u"Type mismatch");
    EXPECT_EQ(site.errors[0].source, u"VBScript runtime error");
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(HostInterface, WrongArgumentCountIs450)
{
    EXPECT_FALSE(engine.ParseScript(u"Note \"a\", \"b\"\n"));
    ASSERT_EQ(site.errors.size(), 1u);
    EXPECT_EQ(site.errors[0].number, 450);
}

TEST_F(HostInterface, CompileErrorsReportZeroBasedPositionAndFail)
{
    EXPECT_FALSE(engine.ParseScript(u"x = 1\n\n  If x Then\n  y = (1\nEnd If\n"));
    ASSERT_EQ(site.errors.size(), 1u);
    EXPECT_EQ(site.errors[0].number, 1006);
    EXPECT_EQ(site.errors[0].source, u"VBScript compilation error");
    EXPECT_EQ(site.errors[0].line, 3u);
    EXPECT_EQ(site.errors[0].column, 8u);
    EXPECT_EQ(site.errors[0].statusCode, 0x800A03EEu);
    EXPECT_EQ(site.errors[0].lineText, u"  y = (1");
    // Nothing of a text that did not compile is defined.
    EXPECT_FALSE(engine.HasRoutine(u"Anything"));

    // Nor when the error comes after its routines were declared: those of an earlier
    // text that it would have replaced stay as they were.
    ASSERT_TRUE(engine.ParseScript(u"Function Earlier\nEarlier = 1\nEnd Function\n"));
    EXPECT_FALSE(engine.ParseScript(u"Sub OnInit\nEnd Sub\nFunction Earlier\nEarlier = 2\nEnd Function\n"
                                    u"Class C\nEnd Class\nMe(1)\n"));
    EXPECT_EQ(site.errors.back().number, 1037);
    EXPECT_FALSE(engine.HasRoutine(u"OnInit"));
    Variant result;
    EXPECT_EQ(engine.CallRoutine(u"Earlier", {}, &result).status, CallStatus::Ok);
    EXPECT_EQ(result.AsLong(), 1);
    EXPECT_FALSE(engine.ParseScript(u"Set c = New C\n"));
}

TEST_F(HostInterface, PreludeLineNumbersCountFromTheFirstLine)
{
    // "option explicit" plus a 44-line prelude: the plugin's first line is line 45.
    std::u16string text = u"option explicit\n";
    for (int i = 0; i < 44; ++i)
        text += u"Const C" + cva::text::Utf8ToUtf16(std::to_string(i)) + u" = 1\n";
    text += u"Sub OnInit(\n";
    EXPECT_FALSE(engine.ParseScript(text));
    ASSERT_EQ(site.errors.size(), 1u);
    EXPECT_EQ(site.errors[0].line, 45u);
}

TEST_F(HostInterface, RoutinesAreCalledByNameWithIntegerArguments)
{
    ASSERT_TRUE(engine.ParseScript(u"Dim total\nSub OnApply(a, b)\n total = a * 10 + b\n Note TypeName(a) & total\nEnd Sub\n"
                                   u"Function Sum(a, b) : Sum = a + b : End Function\n"));
    Variant args[2] = {Variant(int32_t{4}), Variant(int32_t{2})};
    CallOutcome r = engine.CallRoutine(u"onapply", args);
    EXPECT_EQ(r.status, CallStatus::Ok);
    EXPECT_EQ(Logged(), "Long42;");
    Variant result;
    r = engine.CallRoutine(u"Sum", args, &result);
    ASSERT_EQ(r.status, CallStatus::Ok);
    EXPECT_EQ(result.AsLong(), 6);
    // Globals keep their values between calls.
    r = engine.CallRoutine(u"OnApply", args);
    EXPECT_EQ(Logged(), "Long42;Long42;");
}

TEST_F(HostInterface, UnknownRoutineIsReportedWithoutAnError)
{
    ASSERT_TRUE(engine.ParseScript(u"Sub OnInit : End Sub\n"));
    CallOutcome r = engine.CallRoutine(u"OnApply", {});
    EXPECT_EQ(r.status, CallStatus::UnknownName);
    EXPECT_EQ(r.statusCode, 0x80020006u);
    EXPECT_TRUE(site.errors.empty());
}

TEST_F(HostInterface, WrongArgumentCountForARoutineFailsWithoutAScriptError)
{
    ASSERT_TRUE(engine.ParseScript(u"Sub OnApply : Note \"ran\" : End Sub\n"));
    Variant args[2] = {Variant(int32_t{1}), Variant(int32_t{2})};
    CallOutcome r = engine.CallRoutine(u"OnApply", args);
    EXPECT_EQ(r.status, CallStatus::Failed);
    EXPECT_EQ(r.number, 450);
    EXPECT_TRUE(site.errors.empty());
    EXPECT_EQ(Logged(), "");
}

TEST_F(HostInterface, RuntimeErrorInARoutineStopsItAndIsReported)
{
    ASSERT_TRUE(engine.ParseScript(u"Sub OnInit\n Note \"a\"\n x = 1 / 0\n Note \"b\"\nEnd Sub\n"));
    CallOutcome r = engine.CallRoutine(u"OnInit", {});
    EXPECT_EQ(r.status, CallStatus::Failed);
    EXPECT_EQ(r.number, 11);
    EXPECT_EQ(r.statusCode, 0x800A000Bu);
    ASSERT_EQ(site.errors.size(), 1u);
    EXPECT_EQ(site.errors[0].line, 2u);
    EXPECT_EQ(site.errors[0].column, 1u);
    EXPECT_EQ(Logged(), "a;");
    // The engine stays usable.
    r = engine.CallRoutine(u"OnInit", {});
    EXPECT_EQ(Logged(), "a;a;");
}

TEST_F(HostInterface, HostFunctionsMayCallBackIntoTheScript)
{
    ASSERT_TRUE(engine.ParseScript(u"Function Square(n) : Square = n * n : End Function\n"
                                   u"Sub Run : Note Callback(\"Square\") : End Sub\n"));
    engine.CallRoutine(u"Run", {});
    EXPECT_EQ(Logged(), "25;");
}

TEST_F(HostInterface, InterruptStopsARunawayLoopEvenUnderResumeNext)
{
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        engine.Interrupt();
    });
    EXPECT_FALSE(engine.ParseScript(u"On Error Resume Next\nDo\n x = x + 1\nLoop\n"));
    stopper.join();
    ASSERT_EQ(site.errors.size(), 1u);
    EXPECT_EQ(site.errors[0].number, kErrInterrupted);
    engine.ClearInterrupt();
    EXPECT_TRUE(engine.ParseScript(u"Note \"after\"\n"));
    EXPECT_EQ(Logged(), "after;");
}

TEST_F(HostInterface, TheHeartbeatMayStopALoopAndTheNextCallRunsAgain)
{
    std::vector<std::chrono::milliseconds> beats;
    engine.SetHeartbeat(
        [&](std::chrono::milliseconds running) {
            beats.push_back(running);
            if (running >= std::chrono::milliseconds(200))
                engine.Interrupt();
        },
        std::chrono::milliseconds(20));
    ASSERT_TRUE(engine.ParseScript(u"Sub Spin : Note \"in\" : Do : Loop : End Sub\n"
                                   u"Sub Quick : Note \"quick\" : End Sub\n"));
    const CallOutcome spun = engine.CallRoutine(u"Spin", {});
    EXPECT_EQ(spun.number, kErrInterrupted);
    ASSERT_EQ(site.errors.size(), 1u);
    EXPECT_EQ(site.errors[0].description, u"The script was stopped by the program");
    // Beats come at the interval, not at every loop turn.
    EXPECT_GE(beats.size(), 5u);
    EXPECT_LE(beats.size(), 30u);
    // The interrupt ended with the call it stopped.
    EXPECT_EQ(engine.CallRoutine(u"Quick", {}).status, CallStatus::Ok);
    EXPECT_EQ(Logged(), "in;quick;");
}

TEST_F(HostInterface, WaitEndsEarlyWhenInterrupted)
{
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(engine.Wait(std::chrono::milliseconds(30)));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        engine.Interrupt();
    });
    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(engine.Wait(std::chrono::seconds(30)));
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
    stopper.join();
}

TEST_F(HostInterface, StepLimitInterruptsRecursion)
{
    engine.SetStepLimit(1000);
    EXPECT_FALSE(engine.ParseScript(u"Sub R : R : End Sub\nR\n"));
    ASSERT_EQ(site.errors.size(), 1u);
    EXPECT_TRUE(site.errors[0].number == kErrInterrupted || site.errors[0].number == 28);
}

TEST_F(HostInterface, CloseRunsClassTerminateAndForgetsEverything)
{
    ASSERT_TRUE(engine.ParseScript(u"Class T\n Sub Class_Terminate : Note \"bye\" : End Sub\nEnd Class\nSet g = New T\n"
                                   u"Sub OnInit : End Sub\n"));
    engine.Close();
    EXPECT_EQ(Logged(), "bye;");
    EXPECT_FALSE(engine.HasRoutine(u"OnInit"));
}

TEST(HostInterfaceObjects, NewRegExpReachesTheRegisteredFactory)
{
    CScriptEngine engine;
    CRecordingSite site;
    engine.SetSite(&site);
    EXPECT_TRUE(engine.ParseScript(u"Set r = New RegExp\nr.Pattern = \"a+\"\nIf Not r.Test(\"caab\") Then Err.Raise 5\n"));
    EXPECT_TRUE(site.errors.empty());
    EXPECT_FALSE(engine.ParseScript(u"Set o = CreateObject(\"Not.Registered\")\n"));
    ASSERT_EQ(site.errors.size(), 1u);
    EXPECT_EQ(site.errors[0].number, 429);
}

} // namespace
