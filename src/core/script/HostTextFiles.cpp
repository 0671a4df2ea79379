#include "core/script/HostProxy.h"

#include "core/journal/FileOverlay.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/TextFile.h"
#include "platform/text/Unicode.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace cva::script {

namespace {

constexpr int32_t kMaxLine = std::numeric_limits<int16_t>::max();

TextFileLines* RecordAt(std::vector<std::unique_ptr<TextFileLines>>& files, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= files.size()) return nullptr;
    return files[static_cast<size_t>(index)].get();
}

int32_t LineCount(const TextFileLines& record) {
    return record.m_lines.empty() ? 0 : static_cast<int32_t>(record.m_lines.size() - 1);
}

// Whether `line` begins with `prefix`, comparing characters rather than bytes so that
// the case rules apply to letters outside ASCII as well.
bool StartsWith(const std::string& line, const std::string& prefix, bool matchCase) {
    if (matchCase)
        return line.compare(0, prefix.size(), prefix) == 0 && line.size() >= prefix.size();
    std::u16string wantedText = text::Utf8ToUtf16(prefix);
    std::u16string lineText = text::Utf8ToUtf16(line);
    if (lineText.size() < wantedText.size()) return false;
    return text::EqualsNoCase(std::u16string_view(lineText).substr(0, wantedText.size()),
                              wantedText);
}

} // namespace

int32_t CHost_Proxy::TxtOpen(const std::string& strFile) {
    if (m_textFiles.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) return -1;
    std::optional<std::string> host = ScriptFilePath(strFile);
    if (!host) return -1;
    std::optional<std::vector<std::string>> lines;
    if (m_pOverlay) {
        if (std::optional<std::string> bytes = m_pOverlay->ReadFile(*host)) lines = files::SplitTextLines(*bytes);
    } else {
        lines = files::ReadTextLines(*host);
    }
    if (!lines) return -1;
    auto record = std::make_unique<TextFileLines>();
    record->m_lines.reserve(lines->size() + 1);
    record->m_lines.push_back(strFile);
    std::move(lines->begin(), lines->end(), std::back_inserter(record->m_lines));
    m_textFiles.push_back(std::move(record));
    return static_cast<int32_t>(m_textFiles.size() - 1);
}

int16_t CHost_Proxy::TxtGetLineCount(int32_t index) {
    const TextFileLines* record = RecordAt(m_textFiles, index);
    // Lines past the 16-bit range cannot be numbered by the Txt functions anyway.
    return record ? static_cast<int16_t>(std::min(LineCount(*record), kMaxLine)) : 0;
}

std::string CHost_Proxy::TxtGetLine(int32_t index, int16_t line) {
    const TextFileLines* record = RecordAt(m_textFiles, index);
    if (!record || line < 0 || line >= LineCount(*record)) return {};
    return record->m_lines[static_cast<size_t>(line) + 1];
}

void CHost_Proxy::TxtSetLine(int32_t index, int16_t line, const std::string& strText) {
    TextFileLines* record = RecordAt(m_textFiles, index);
    if (!record || line < 0 || line >= LineCount(*record)) return;
    record->m_lines[static_cast<size_t>(line) + 1] = strText;
}

void CHost_Proxy::TxtInsertLine(int32_t index, int16_t line, const std::string& strText) {
    TextFileLines* record = RecordAt(m_textFiles, index);
    if (!record || line < 0 || line > LineCount(*record)) return;
    record->m_lines.insert(record->m_lines.begin() + line + 1, strText);
}

void CHost_Proxy::TxtDeleteLine(int32_t index, int16_t line) {
    TextFileLines* record = RecordAt(m_textFiles, index);
    if (!record || line < 0 || line >= LineCount(*record)) return;
    record->m_lines.erase(record->m_lines.begin() + line + 1);
}

int16_t CHost_Proxy::TxtFindLine(int32_t index, const std::string& strText, bool bMatchCase) {
    const TextFileLines* record = RecordAt(m_textFiles, index);
    if (!record) return -1;
    const int32_t count = std::min(LineCount(*record), kMaxLine);
    for (int32_t line = 0; line < count; ++line)
        if (StartsWith(record->m_lines[static_cast<size_t>(line) + 1], strText, bMatchCase))
            return static_cast<int16_t>(line);
    return -1;
}

void CHost_Proxy::TxtSave(int32_t index) {
    const TextFileLines* record = RecordAt(m_textFiles, index);
    if (!record || record->m_lines.empty()) return;
    std::optional<std::string> host = ScriptFilePath(record->m_lines.front());
    if (!host) return;
    std::string data;
    for (size_t i = 1; i < record->m_lines.size(); ++i) {
        data += record->m_lines[i];
        data += "\r\n";
    }
    if (m_pOverlay) {
        if (m_pOverlay->IsFolder(*host)) return;
        NoteFileChanging(*host);
        m_pOverlay->PutFile(*host, std::move(data));
        return;
    }
    NoteFileChanging(*host);
    // Written beside the file and renamed over it: a full disk or a killed program leaves
    // the old file whole instead of a truncated one.
    files::WriteFileAtomically(*host, data);
}

void CHost_Proxy::TxtClose(int32_t index) {
    if (index >= 0 && static_cast<size_t>(index) < m_textFiles.size())
        m_textFiles[static_cast<size_t>(index)].reset();
}

} // namespace cva::script
