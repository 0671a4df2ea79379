#include "core/journal/NetChanges.h"

#include "platform/text/Unicode.h"

namespace cva::journal {

namespace {

using EKind = SJournalChange::EKind;

bool SameKey(const std::u16string& a, const std::u16string& b) { return text::ToUpper(a) == text::ToUpper(b); }

bool SameIni(const SIniEntry& a, const SIniEntry& b) {
    return a.m_file == b.m_file && text::EqualsNoCaseUtf8(a.m_section, b.m_section) &&
           text::EqualsNoCaseUtf8(a.m_key, b.m_key);
}

// The first change the entry made to what `after` describes; null when it made none
// directly (a key that a rename brought in).
const SJournalChange* FirstChange(const SJournalEntry& entry, const SJournalAfter& after) {
    for (const SJournalChange& change : entry.m_changes) {
        if (after.m_ini) {
            if (change.m_kind == EKind::IniEntry && SameIni(change.m_ini, *after.m_ini)) return &change;
        } else if (after.m_isValue) {
            if (change.m_kind == EKind::Value && SameKey(change.m_key, after.m_key) &&
                SameKey(change.m_name, after.m_name))
                return &change;
        } else if (change.m_kind != EKind::Value && change.m_kind != EKind::IniEntry &&
                   SameKey(change.m_key, after.m_key)) {
            return &change;
        }
    }
    return nullptr;
}

} // namespace

size_t CountNetChanges(const SJournalEntry& entry) {
    size_t count = 0;
    for (const SJournalAfter& after : entry.m_after) {
        const SJournalChange* first = FirstChange(entry, after);
        if (!first) {
            ++count;
        } else if (after.m_ini) {
            count += first->m_ini.m_text != after.m_ini->m_text ? 1 : 0;
        } else if (after.m_isValue) {
            count += first->m_before != after.m_state ? 1 : 0;
        } else {
            const bool before = first->m_kind != EKind::KeyCreated;
            count += before != after.m_state.m_present || first->m_kind == EKind::KeyRenamed ? 1 : 0;
        }
    }
    return count;
}

} // namespace cva::journal
