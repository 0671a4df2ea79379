#include "core/registry/MRU.h"

#include "platform/files/TextFile.h"
#include "platform/text/Unicode.h"

namespace cva::registry {

namespace {

std::string Trim(const std::string& s) {
    const char* blanks = " \t\r\n\v\f";
    size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    size_t last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

} // namespace

CMRU::CMRU(std::string profileFolder) : m_strProfileFolder(std::move(profileFolder)) {
    while (m_strProfileFolder.size() > 1 && m_strProfileFolder.back() == '/') m_strProfileFolder.pop_back();
}

CMRU::~CMRU() { Save(); }

void CMRU::Load(const std::string& fileName, int maximum) {
    if (!m_strPath.empty()) return;
    m_nMaximum = maximum;
    m_items.clear();
    if (!fileName.empty() && fileName.find('/') != std::string::npos) {
        m_strPath = fileName;
    } else {
        m_strPath = m_strProfileFolder + "/" + fileName;
    }
    auto lines = files::ReadTextLines(m_strPath);
    if (!lines) return;
    for (const auto& raw : *lines) {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == ';') continue;
        m_items.push_back(std::move(line));
    }
}

void CMRU::Add(const std::string& text) {
    size_t found = m_items.size();
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (text::EqualsNoCaseUtf8(m_items[i], text)) {
            found = i;
            break;
        }
    }
    if (found == 0 && !m_items.empty()) return;
    if (found < m_items.size()) m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(found));
    m_items.insert(m_items.begin(), text);
    if (m_nMaximum != -1) {
        while (m_items.size() > static_cast<size_t>(m_nMaximum < 0 ? 0 : m_nMaximum)) m_items.pop_back();
    }
    m_bModified = true;
}

void CMRU::SetAt(int index, const std::string& text) {
    if (index < 0 || index >= GetCount()) return;
    m_items[static_cast<size_t>(index)] = text;
    m_bModified = true;
}

void CMRU::RemoveAt(int index) {
    if (index < 0 || index >= GetCount()) return;
    m_items.erase(m_items.begin() + index);
    m_bModified = true;
}

std::string CMRU::GetAt(int index) const {
    if (index < 0 || index >= GetCount()) return {};
    return m_items[static_cast<size_t>(index)];
}

bool CMRU::Save() {
    if (!m_bModified || m_strPath.empty()) return true;
    if (!files::WriteTextLines(m_strPath, m_items)) return false;
    m_bModified = false;
    return true;
}

} // namespace cva::registry
