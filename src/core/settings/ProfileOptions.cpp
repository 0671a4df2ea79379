#include "core/settings/ProfileOptions.h"

namespace cva::options {

namespace {

std::string LastPart(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void CProfileOptions::Open(std::vector<std::string> profilePaths, int selected) {
    m_paths = std::move(profilePaths);
    m_nOpened = selected >= 0 && selected < static_cast<int>(m_paths.size()) ? selected : kMyComputer;
    m_nChosen = m_nOpened;
}

std::vector<std::string> CProfileOptions::Labels() const {
    std::vector<std::string> labels;
    for (const std::string& path : m_paths) labels.push_back(LastPart(path));
    return labels;
}

std::string CProfileOptions::StatusLine() const {
    if (m_nOpened == kMyComputer) return {};
    return "Currently Selected Profile: " + LastPart(m_paths[static_cast<size_t>(m_nOpened)]);
}

std::optional<int> CProfileOptions::Result() const {
    if (m_nChosen < 0 || m_nChosen >= static_cast<int>(m_paths.size())) return std::nullopt;
    return m_nChosen;
}

} // namespace cva::options
