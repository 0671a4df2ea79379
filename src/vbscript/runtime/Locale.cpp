#include "vbscript/runtime/Locale.h"

#include "platform/text/Unicode.h"
#include "vbscript/runtime/LocaleScope.h"

namespace cva::vbs::rt {

namespace {

const LocaleInfo kLocales[] = {
    {1033, u"en-us", u'.', u',', u"$", false, true, LocaleInfo::DateOrder::MonthDayYear, u'/',
     u"M/d/yyyy", u"dddd, MMMM dd, yyyy", u"h:mm:ss tt",
     {u"January", u"February", u"March", u"April", u"May", u"June", u"July", u"August",
      u"September", u"October", u"November", u"December"},
     {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug", u"Sep", u"Oct", u"Nov",
      u"Dec"},
     {u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday"},
     {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"}, 1, 1},
    {1031, u"de-de", u',', u'.', u"\u20AC", true, false, LocaleInfo::DateOrder::DayMonthYear, u'.',
     u"dd.MM.yyyy", u"dddd, d. MMMM yyyy", u"HH:mm:ss",
     {u"Januar", u"Februar", u"M\u00E4rz", u"April", u"Mai", u"Juni", u"Juli", u"August",
      u"September", u"Oktober", u"November", u"Dezember"},
     {u"Jan", u"Feb", u"Mrz", u"Apr", u"Mai", u"Jun", u"Jul", u"Aug", u"Sep", u"Okt", u"Nov",
      u"Dez"},
     {u"Sonntag", u"Montag", u"Dienstag", u"Mittwoch", u"Donnerstag", u"Freitag", u"Samstag"},
     {u"So", u"Mo", u"Di", u"Mi", u"Do", u"Fr", u"Sa"}, 2, 2},
};

thread_local const LocaleInfo* t_current = &kLocales[0];
// The engine whose run is current; SetLocale writes its choice there.
thread_local const LocaleInfo** t_owner = nullptr;

} // namespace

const LocaleInfo& DefaultLocale()
{
    return kLocales[0];
}

const LocaleInfo* FindLocale(int32_t lcid)
{
    for (const LocaleInfo& l : kLocales)
        if (l.lcid == lcid)
            return &l;
    return nullptr;
}

const LocaleInfo* FindLocale(std::u16string_view tag)
{
    for (const LocaleInfo& l : kLocales)
        if (text::EqualsNoCase(tag, l.tag))
            return &l;
    return nullptr;
}

const LocaleInfo& CurrentLocale()
{
    return *t_current;
}

void SetCurrentLocale(const LocaleInfo& locale)
{
    t_current = &locale;
    if (t_owner)
        *t_owner = &locale;
}

CLocaleScope::CLocaleScope(const LocaleInfo*& engineLocale) : m_previous(t_current), m_previousOwner(t_owner)
{
    if (!engineLocale)
        engineLocale = &DefaultLocale();
    t_current = engineLocale;
    t_owner = &engineLocale;
}

CLocaleScope::~CLocaleScope()
{
    t_current = m_previous;
    t_owner = m_previousOwner;
}

} // namespace cva::vbs::rt
