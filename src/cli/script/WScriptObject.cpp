#include "cli/script/WScriptObject.h"

#include "platform/text/Unicode.h"
#include "vbscript/Coerce.h"
#include "vbscript/NativeObject.h"
#include "vbscript/SafeArray.h"

#include <chrono>
#include <thread>

namespace cva::cli {

using namespace cva::vbs;

namespace {

class COutStream final : public IObject {
public:
    explicit COutStream(std::function<void(std::string_view)> sink) : m_sink(std::move(sink)) {}

    DispId GetMemberId(std::u16string_view name) override
    {
        static constexpr MemberName kMembers[] = {
            {u"Write", 1}, {u"WriteLine", 2}, {u"WriteBlankLines", 3}, {u"Close", 4},
        };
        return LookupMember(name, kMembers);
    }

    Status Invoke(DispId id, uint32_t, std::span<Variant> args, Variant& result) override
    {
        result.Clear();
        switch (id) {
        case 1:
        case 2: {
            Status st = ExpectArgs(args, id == 1 ? 1 : 0, 1);
            if (st.Failed())
                return st;
            std::string text;
            if (!args.empty()) {
                VString s;
                st = ToString(args[0], s);
                if (st.Failed())
                    return st;
                text = s.ToUtf8();
            }
            if (id == 2)
                text += "\n";
            m_sink(text);
            return Status::Ok();
        }
        case 3: {
            Status st = ExpectArgs(args, 1, 1);
            if (st.Failed())
                return st;
            int32_t n = 0;
            st = ToLong(args[0], n);
            if (st.Failed())
                return st;
            for (int32_t i = 0; i < n; ++i)
                m_sink("\n");
            return Status::Ok();
        }
        case 4: return Status::Ok();
        default: return Status(kErrNoSuchMember);
        }
    }

    std::u16string TypeName() const override { return u"TextStream"; }

private:
    std::function<void(std::string_view)> m_sink;
};

class CArgumentsEnum final : public IEnumerator {
public:
    explicit CArgumentsEnum(const std::vector<std::string>& args) : m_args(args) {}
    bool Next(Variant& out) override
    {
        if (m_pos >= m_args.size())
            return false;
        out = Variant(VString::FromUtf8(m_args[m_pos++]));
        return true;
    }

private:
    const std::vector<std::string>& m_args;
    size_t m_pos = 0;
};

class CArguments final : public IObject {
public:
    explicit CArguments(std::vector<std::string> args) : m_args(std::move(args)) {}

    DispId GetMemberId(std::u16string_view name) override
    {
        static constexpr MemberName kMembers[] = {
            {u"Item", 1}, {u"Count", 2}, {u"Length", 2}, {u"Unnamed", 3}, {u"Named", 4},
        };
        return LookupMember(name, kMembers);
    }

    Status Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result) override
    {
        if (IsAssignment(kind))
            return Status(kErrWrongArgCount);
        switch (id) {
        case kDispIdValue:
        case 1: {
            if (args.size() != 1)
                return id == kDispIdValue && args.empty() ? Status(kErrWrongArgCount)
                                                          : Status(kErrWrongArgCount);
            int32_t i = 0;
            Status st = ToLong(args[0], i);
            if (st.Failed())
                return st;
            if (i < 0 || static_cast<size_t>(i) >= m_args.size())
                return Status(kErrSubscript);
            result = Variant(VString::FromUtf8(m_args[i]));
            return Status::Ok();
        }
        case 2: result = Variant(static_cast<int32_t>(m_args.size())); return Status::Ok();
        case 3:
        case 4: result = Variant(ObjectRef::Share(this)); return Status::Ok();
        default: return Status(kErrNoSuchMember);
        }
    }

    Status NewEnum(EnumeratorPtr& out) override
    {
        out = std::make_unique<CArgumentsEnum>(m_args);
        return Status::Ok();
    }

    std::u16string TypeName() const override { return u"Object"; }

private:
    std::vector<std::string> m_args;
};

std::string BaseName(const std::string& path)
{
    size_t p = path.find_last_of("/\\");
    return p == std::string::npos ? path : path.substr(p + 1);
}

} // namespace

CWScriptObject::CWScriptObject(CScriptEngine& engine, ScriptOutput output, std::string scriptFullName,
                               std::vector<std::string> arguments)
    : m_engine(&engine), m_output(std::move(output)), m_fullName(std::move(scriptFullName)),
      m_arguments(std::move(arguments))
{
    m_stdOut = MakeObject<COutStream>(m_output.out);
    m_stdErr = MakeObject<COutStream>(m_output.err);
    m_argumentsObject = MakeObject<CArguments>(m_arguments);
}

DispId CWScriptObject::GetMemberId(std::u16string_view name)
{
    static constexpr MemberName kMembers[] = {
        {u"Echo", 1}, {u"Quit", 2}, {u"Arguments", 3}, {u"ScriptName", 4},
        {u"ScriptFullName", 5}, {u"Sleep", 6}, {u"StdOut", 7}, {u"StdErr", 8},
        {u"Name", 9}, {u"Version", 10}, {u"FullName", 11}, {u"Path", 12},
        {u"Interactive", 13}, {u"CreateObject", 14}, {u"BuildVersion", 15}, {u"StdIn", 16},
    };
    return LookupMember(name, kMembers);
}

Status CWScriptObject::Invoke(DispId id, uint32_t kind, std::span<Variant> args, Variant& result)
{
    result.Clear();
    if (IsAssignment(kind) && id != 13)
        return Status(kErrWrongArgCount);
    switch (id) {
    case kDispIdValue:
    case 9: result = Variant(u"Windows Script Host"); return Status::Ok();
    case 1: {
        std::string line;
        for (size_t i = 0; i < args.size(); ++i) {
            if (i)
                line += ' ';
            VString s;
            // Echo converts without the alphabetic Boolean form, as cscript does:
            // True prints as -1.
            if (args[i].IsNull())
                s = VString(u"Null");
            else if (args[i].Type() == VarType::Boolean)
                s = VString(args[i].AsBool() ? u"-1" : u"0");
            else if (args[i].IsArray() || (args[i].IsObject() && !args[i].AsObject()))
                return Status(kErrTypeMismatch);
            else if (args[i].Type() == VarType::Error && args[i].AsError() == static_cast<int32_t>(0x80020004u))
                s = VString(u"");
            else {
                Status st = ToString(args[i], s);
                if (st.Failed())
                    return st;
            }
            line += s.ToUtf8();
        }
        line += '\n';
        m_output.out(line);
        return Status::Ok();
    }
    case 2: {
        int32_t code = 0;
        if (!args.empty() && !(args[0].Type() == VarType::Error)) {
            Status st = ToLong(args[0], code);
            if (st.Failed())
                return st;
        }
        m_quit = true;
        m_quitCode = code;
        if (m_engine)
            m_engine->Interrupt();
        return Status(kErrUserInterrupt);
    }
    case 3:
        if (!args.empty()) {
            Variant holder = Variant(m_argumentsObject);
            return m_argumentsObject->Invoke(kDispIdValue, kind, args, result);
        }
        result = Variant(m_argumentsObject);
        return Status::Ok();
    case 4: result = Variant(VString::FromUtf8(BaseName(m_fullName))); return Status::Ok();
    case 5: result = Variant(VString::FromUtf8(m_fullName)); return Status::Ok();
    case 6: {
        Status st = ExpectArgs(args, 1, 1);
        if (st.Failed())
            return st;
        int32_t ms = 0;
        st = ToLong(args[0], ms);
        if (st.Failed())
            return st;
        if (ms <= 0)
            return Status::Ok();
        if (!m_engine) {
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
            return Status::Ok();
        }
        // The wait ends early when the script is stopped, which raises the interrupt's
        // own error here.
        if (!m_engine->Wait(std::chrono::milliseconds(ms)))
            return InterruptedStatus();
        return Status::Ok();
    }
    case 7: result = Variant(m_stdOut); return Status::Ok();
    case 8: result = Variant(m_stdErr); return Status::Ok();
    case 10: result = Variant(u"5.8"); return Status::Ok();
    case 11: result = Variant(u"C:\\Windows\\System32\\cvascript.exe"); return Status::Ok();
    case 12: result = Variant(u"C:\\Windows\\System32"); return Status::Ok();
    case 13:
        if (IsAssignment(kind))
            return Status::Ok();
        result = Variant(false);
        return Status::Ok();
    case 14: {
        Status st = ExpectArgs(args, 1, 2);
        if (st.Failed())
            return st;
        VString progId;
        st = ToString(args[0], progId);
        if (st.Failed())
            return st;
        if (!m_engine)
            return Status(kErrCantCreateObject);
        ObjectRef obj;
        st = m_engine->Objects().Create(progId.View(), m_engine->Services(), obj);
        if (st.Failed())
            return st;
        result = Variant(std::move(obj));
        return Status::Ok();
    }
    case 15: result = Variant(int32_t{16384}); return Status::Ok();
    default: return Status(kErrNoSuchMember);
    }
}

} // namespace cva::cli
