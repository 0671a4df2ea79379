#pragma once

#include "vbscript/runtime/Locale.h"

namespace cva::vbs::rt {

// Makes an engine's locale current while the engine runs and keeps what SetLocale chose
// there for the engine's next run; a nested run of the same engine shares it. The
// engine's pointer starts null, meaning the default locale.
class CLocaleScope {
public:
    explicit CLocaleScope(const LocaleInfo*& engineLocale);
    ~CLocaleScope();
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    const LocaleInfo* m_previous;
    const LocaleInfo** m_previousOwner;
};

} // namespace cva::vbs::rt
