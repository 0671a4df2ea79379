#include "vbscript/Engine.h"

#include "vbscript/engine/HostItem.h"
#include "vbscript/engine/Interpreter.h"
#include "vbscript/runtime/LocaleScope.h"

#include <algorithm>
#include <thread>

namespace cva::vbs {

CScriptEngine::CScriptEngine() : m_interp(std::make_unique<engine::CInterpreter>()) {}

CScriptEngine::~CScriptEngine()
{
    SetServices(nullptr);
}

void CScriptEngine::SetSite(IScriptSite* site)
{
    m_interp->m_site = site;
}

void CScriptEngine::SetServices(IScriptServices* services)
{
    if (m_interp->m_services)
        m_interp->m_services->SetWaiter({});
    m_interp->m_services = services;
    if (services)
        services->SetWaiter([this](std::chrono::milliseconds slice) { return Wait(slice); });
}

IScriptServices& CScriptEngine::Services()
{
    return m_interp->Services();
}

CObjectRegistry& CScriptEngine::Objects()
{
    return m_interp->m_objects;
}

void CScriptEngine::AddNamedItem(std::u16string_view name, ObjectRef object, bool globalMembers)
{
    m_interp->m_items.push_back(engine::NamedItem{std::u16string(name), std::move(object), globalMembers});
}

void CScriptEngine::AddHostItem(std::u16string_view name, std::vector<HostFunction> functions, IHostItem& item)
{
    auto obj = MakeObject<engine::CDescribedObject>(std::u16string(name), std::move(functions), item);
    AddNamedItem(name, ObjectRef(std::move(obj)), true);
}

bool CScriptEngine::ParseScript(std::u16string_view text)
{
    rt::CLocaleScope locale(m_locale);
    return m_interp->RunText(text, true);
}

CallOutcome CScriptEngine::CallRoutine(std::u16string_view name, std::span<const Variant> args, Variant* result)
{
    rt::CLocaleScope locale(m_locale);
    return m_interp->CallByName(name, args, result);
}

bool CScriptEngine::HasRoutine(std::u16string_view name) const
{
    return m_interp->HasProc(name);
}

void CScriptEngine::Interrupt()
{
    m_interp->m_interrupt.store(true);
}

void CScriptEngine::ClearInterrupt()
{
    m_interp->m_interrupt.store(false);
}

bool CScriptEngine::IsInterrupted() const
{
    return m_interp->m_interrupt.load();
}

void CScriptEngine::SetHeartbeat(Heartbeat beat, std::chrono::milliseconds interval)
{
    m_interp->m_heartbeat = std::move(beat);
    m_interp->m_beatInterval = interval;
}

bool CScriptEngine::Wait(std::chrono::milliseconds duration)
{
    using Clock = std::chrono::steady_clock;
    // Short slices, so that a stop request is answered within a blink.
    constexpr auto kSlice = std::chrono::milliseconds(20);
    const Clock::time_point end = Clock::now() + duration;
    for (;;) {
        m_interp->Beat();
        if (IsInterrupted())
            return false;
        const Clock::time_point now = Clock::now();
        if (now >= end)
            return true;
        std::this_thread::sleep_for(std::min<Clock::duration>(end - now, kSlice));
    }
}

void CScriptEngine::SetStepLimit(uint64_t steps)
{
    m_interp->m_stepLimit = steps;
    m_interp->m_steps = 0;
}

void CScriptEngine::Close()
{
    rt::CLocaleScope locale(m_locale);
    m_interp->Close();
}

} // namespace cva::vbs
