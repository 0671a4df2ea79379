#pragma once

#include <cstdint>
#include <optional>

namespace cva::update {

// What the dialog shows after a block arrived; each part only when it is due.
struct SProgressUpdate {
    std::optional<int> m_percent;           // when its whole-number value changed
    std::optional<double> m_rate;           // KB/s (a byte per millisecond is 1), about once a second
    std::optional<uint64_t> m_secondsLeft;  // with the rate, when the length is known
};

// Turns byte counts and clock ticks into the progress the dialog shows: the percentage
// whenever it changes, the rate and the time left at most about once a second.
class CProgressMeter {
public:
    void Start(uint64_t nowMs, bool lengthKnown, uint64_t length);
    SProgressUpdate Refresh(uint64_t nowMs, uint64_t total);

    bool LengthKnown() const { return m_bLengthKnown; }
    uint64_t Length() const { return m_length; }

private:
    uint64_t m_startTick = 0;
    uint64_t m_lastTick = 0;
    uint64_t m_lastTotal = 0;
    int m_lastPercent = -1;
    bool m_bLengthKnown = false;
    uint64_t m_length = 0;
};

} // namespace cva::update
