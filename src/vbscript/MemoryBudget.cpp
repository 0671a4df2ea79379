#include "vbscript/MemoryBudget.h"

#include <atomic>

namespace cva::vbs {

namespace {
// Engines on several threads (tests, a catalogue scan) share the one process.
std::atomic<size_t> g_inUse{0};
std::atomic<size_t> g_limit{CMemoryBudget::kDefaultLimit};
} // namespace

size_t CMemoryBudget::SetLimit(size_t bytes)
{
    return g_limit.exchange(bytes);
}

bool CMemoryBudget::Take(size_t bytes)
{
    const size_t limit = g_limit.load(std::memory_order_relaxed);
    size_t now = g_inUse.load(std::memory_order_relaxed);
    do {
        if (bytes > limit || now > limit - bytes)
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
    return g_inUse.load(std::memory_order_relaxed) > g_limit.load(std::memory_order_relaxed);
}

size_t CMemoryBudget::Available()
{
    const size_t limit = g_limit.load(std::memory_order_relaxed);
    const size_t now = g_inUse.load(std::memory_order_relaxed);
    return now >= limit ? 0 : limit - now;
}

} // namespace cva::vbs
