#include "platform/registry/Registry.h"

#include <cstring>

namespace cva::reg {

namespace {

std::u16string_view View(const char16_t* s) {
    return s ? std::u16string_view(s) : std::u16string_view();
}

// Win32 buffer rule: no buffer asks for the size; a short one gives ERROR_MORE_DATA
// with the size needed.
LSTATUS FillData(const uint8_t* src, size_t size, BYTE* data, DWORD* dataSize) {
    if (data && !dataSize) return ERROR_INVALID_PARAMETER;
    if (!dataSize) return ERROR_SUCCESS;
    DWORD room = *dataSize;
    *dataSize = static_cast<DWORD>(size);
    if (!data) return ERROR_SUCCESS;
    if (room < size) return ERROR_MORE_DATA;
    if (size) std::memcpy(data, src, size);
    return ERROR_SUCCESS;
}

} // namespace

LSTATUS CRegistry::ValueFromHandle(HKEY key, const char16_t* name, const CRegValue*& value) {
    KeyPtr k;
    LSTATUS rc = KeyFromHandle(key, KEY_QUERY_VALUE, k);
    if (rc != ERROR_SUCCESS) return rc;
    value = k->FindValue(View(name));
    return value ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LSTATUS CRegistry::RegQueryValueExW(HKEY key, const char16_t* name, DWORD*, DWORD* type, BYTE* data,
                                    DWORD* dataSize) {
    if (data && !dataSize) return ERROR_INVALID_PARAMETER;
    const CRegValue* v = nullptr;
    LSTATUS rc = ValueFromHandle(key, name, v);
    if (rc != ERROR_SUCCESS) return rc;
    if (type) *type = v->m_type;
    return FillData(v->m_data.data(), v->m_data.size(), data, dataSize);
}

LSTATUS CRegistry::RegSetValueExW(HKEY key, const char16_t* name, DWORD, DWORD type,
                                  const BYTE* data, DWORD dataSize) {
    if (!data && dataSize) return ERROR_INVALID_PARAMETER;
    std::u16string_view n = View(name);
    if (n.size() > kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
    KeyPtr k;
    LSTATUS rc = KeyFromHandle(key, KEY_SET_VALUE, k);
    if (rc != ERROR_SUCCESS) return rc;
    if (const CHive* hive = k->Hive();
        hive && hive->m_maxValueSize && dataSize > hive->m_maxValueSize)
        return RefuseLongValue(*hive, n, dataSize);
    RecordValueChanging(*k, n);
    k->SetValue(n, type, data, dataSize);
    if (CHiveJournal* journal = JournalOf(*k)) journal->SetValue(*k, n, type, data, dataSize);
    Touch(*k);
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::RegDeleteValueW(HKEY key, const char16_t* name) {
    KeyPtr k;
    LSTATUS rc = KeyFromHandle(key, KEY_SET_VALUE, k);
    if (rc != ERROR_SUCCESS) return rc;
    if (!k->FindValue(View(name))) return ERROR_FILE_NOT_FOUND;
    RecordValueChanging(*k, View(name));
    k->DeleteValue(View(name));
    if (CHiveJournal* journal = JournalOf(*k)) journal->DeleteValue(*k, View(name));
    Touch(*k);
    return ERROR_SUCCESS;
}

LSTATUS CRegistry::RegEnumValueW(HKEY key, DWORD index, char16_t* name, DWORD* nameChars, DWORD*,
                                 DWORD* type, BYTE* data, DWORD* dataSize) {
    if (!nameChars || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
    KeyPtr k;
    LSTATUS rc = KeyFromHandle(key, KEY_QUERY_VALUE, k);
    if (rc != ERROR_SUCCESS) return rc;
    if (index >= k->ValueCount()) return ERROR_NO_MORE_ITEMS;
    const CRegValue& v = k->ValueAt(index);
    if (!name || *nameChars <= v.m_name.size()) return ERROR_MORE_DATA;
    std::memcpy(name, v.m_name.data(), v.m_name.size() * sizeof(char16_t));
    name[v.m_name.size()] = 0;
    *nameChars = static_cast<DWORD>(v.m_name.size());
    if (type) *type = v.m_type;
    return FillData(v.m_data.data(), v.m_data.size(), data, dataSize);
}

} // namespace cva::reg
