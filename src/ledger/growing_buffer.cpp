#include "ledger/growing_buffer.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace ledger {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// From this size on a buffer lives in a mapping of its own.
constexpr std::size_t kMappedFrom = std::size_t{1} << 20;
constexpr std::size_t kPage = 4096;

std::size_t roundUp(std::size_t n, std::size_t unit) { return (n + unit - 1) / unit * unit; }

void adviseHugePages(char *data, std::size_t length)
{
    // Only a hint: without huge pages the mapping works the same, slower.
    madvise(data, length, MADV_HUGEPAGE);
}

// A mapping of length bytes that starts on a huge page boundary, so that
// all of it can be backed by huge pages.
char *mapAligned(std::size_t length)
{
    void *raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    char *start = static_cast<char *>(raw);
    char *aligned = reinterpret_cast<char *>(roundUp(reinterpret_cast<std::size_t>(start), kHugePage));
    if (aligned > start)
        munmap(start, static_cast<std::size_t>(aligned - start));
    char *end = start + length + kHugePage;
    if (end > aligned + length)
        munmap(aligned + length, static_cast<std::size_t>(end - (aligned + length)));
    adviseHugePages(aligned, length);
    return aligned;
}

} // namespace

GrowingBuffer::GrowingBuffer(const GrowingBuffer &other)
{
    if (other.m_size > 0)
        append(other.m_data, other.m_size);
}

GrowingBuffer &GrowingBuffer::operator=(const GrowingBuffer &other)
{
    if (this != &other) {
        GrowingBuffer copy(other);
        *this = std::move(copy);
    }
    return *this;
}

GrowingBuffer::GrowingBuffer(GrowingBuffer &&other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
      m_capacity(std::exchange(other.m_capacity, 0)), m_mapped(std::exchange(other.m_mapped, false))
{
}

GrowingBuffer &GrowingBuffer::operator=(GrowingBuffer &&other) noexcept
{
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_mapped = std::exchange(other.m_mapped, false);
    }
    return *this;
}

GrowingBuffer::~GrowingBuffer() { release(); }

void GrowingBuffer::release() noexcept
{
    if (m_mapped)
        munmap(m_data, m_capacity);
    else
        std::free(m_data);
    m_data = nullptr;
    m_size = m_capacity = 0;
    m_mapped = false;
}

void GrowingBuffer::grow(std::size_t more)
{
    const std::size_t needed = m_size + more;
    if (needed < m_size)
        throw std::bad_alloc();
    std::size_t capacity = std::max<std::size_t>({needed, m_capacity * 2, 256});
    if (capacity < kMappedFrom) {
        void *data = std::realloc(m_data, capacity);
        if (!data)
            throw std::bad_alloc();
        m_data = static_cast<char *>(data);
        m_capacity = capacity;
        return;
    }
    capacity = roundUp(capacity, kHugePage);
    if (!m_mapped) {
        char *data = mapAligned(capacity);
        if (m_size > 0)
            std::memcpy(data, m_data, m_size);
        std::free(m_data);
        m_data = data;
        m_capacity = capacity;
        m_mapped = true;
        return;
    }
    // The kernel moves the page tables, not the bytes.
    void *data = mremap(m_data, m_capacity, capacity, MREMAP_MAYMOVE);
    if (data == MAP_FAILED)
        throw std::bad_alloc();
    m_data = static_cast<char *>(data);
    m_capacity = capacity;
    adviseHugePages(m_data, m_capacity);
}

void GrowingBuffer::erase(std::size_t offset, std::size_t n)
{
    if (offset >= m_size)
        return;
    n = std::min(n, m_size - offset);
    std::memmove(m_data + offset, m_data + offset + n, m_size - offset - n);
    m_size -= n;
}

void GrowingBuffer::shrink()
{
    if (m_mapped || m_size == m_capacity)
        return;
    if (m_size == 0) {
        release();
        return;
    }
    if (void *data = std::realloc(m_data, m_size)) {
        m_data = static_cast<char *>(data);
        m_capacity = m_size;
    }
}

std::size_t GrowingBuffer::bytesHeld() const
{
    if (!m_mapped)
        return m_capacity;
    // What has been written to is resident (a whole huge page where the
    // kernel gave one).
    return roundUp(m_size, kPage);
}

} // namespace ledger
