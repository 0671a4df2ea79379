#include "update/ProgressMeter.h"

namespace cva::update {

void CProgressMeter::Start(uint64_t nowMs, bool lengthKnown, uint64_t length) {
    m_startTick = m_lastTick = nowMs;
    m_lastTotal = 0;
    m_lastPercent = -1;
    m_bLengthKnown = lengthKnown && length > 0;
    m_length = m_bLengthKnown ? length : 0;
}

SProgressUpdate CProgressMeter::Refresh(uint64_t nowMs, uint64_t total) {
    SProgressUpdate update;
    if (m_bLengthKnown) {
        int percent = static_cast<int>(total >= m_length ? 100 : total * 100 / m_length);
        if (percent != m_lastPercent) update.m_percent = m_lastPercent = percent;
    }
    const uint64_t sinceLast = nowMs - m_lastTick;
    if (sinceLast < 1001) return update;
    update.m_rate = static_cast<double>(total - m_lastTotal) / static_cast<double>(sinceLast);
    m_lastTick = nowMs;
    m_lastTotal = total;
    if (m_bLengthKnown && total != 0) {
        const double perByte = static_cast<double>(nowMs - m_startTick) / static_cast<double>(total);
        const uint64_t left = total >= m_length ? 0 : m_length - total;
        update.m_secondsLeft = static_cast<uint64_t>(perByte * static_cast<double>(left) / 1000.0);
    }
    return update;
}

} // namespace cva::update
