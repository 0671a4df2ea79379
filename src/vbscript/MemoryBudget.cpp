#include "vbscript/MemoryBudget.h"

#include <atomic>

namespace cva::vbs {

namespace {
// Engines on several threads (tests, a catalogue scan) share the one process.
std::atomic<size_t> g_inUse{0};
} // namespace

bool CMemoryBudget::Take(size_t bytes)
{
    size_t now = g_inUse.load(std::memory_order_relaxed);
    do {
        if (bytes > kLimit || now > kLimit - bytes)
            return false;
    } while (!g_inUse.compare_exchange_weak(now, now + bytes, std::memory_order_relaxed));
    return true;
}

void CMemoryBudget::Force(size_t bytes)
{
    g_inUse.fetch_add(bytes, std::memory_order_relaxed);
}

void CMemoryBudget::Give(size_t bytes)
{
    g_inUse.fetch_sub(bytes, std::memory_order_relaxed);
}

bool CMemoryBudget::Exceeded()
{
    return g_inUse.load(std::memory_order_relaxed) > kLimit;
}

size_t CMemoryBudget::Available()
{
    const size_t now = g_inUse.load(std::memory_order_relaxed);
    return now >= kLimit ? 0 : kLimit - now;
}

} // namespace cva::vbs
