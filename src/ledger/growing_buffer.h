#pragma once

#include <cstddef>
#include <cstring>
#include <new>

namespace ledger {

// Bytes that grow at the end without being copied. Small buffers live on the
// heap; from a megabyte on they live in an anonymous mapping that the kernel
// enlarges in place and backs with huge pages where it can. Touching fresh
// memory 4 KB at a time is what loading a million rows would otherwise
// mostly wait for, and a mapping's untouched tail costs nothing.
class GrowingBuffer {
public:
    GrowingBuffer() = default;
    GrowingBuffer(const GrowingBuffer &other);
    GrowingBuffer &operator=(const GrowingBuffer &other);
    GrowingBuffer(GrowingBuffer &&other) noexcept;
    GrowingBuffer &operator=(GrowingBuffer &&other) noexcept;
    ~GrowingBuffer();

    char *data() { return m_data; }
    const char *data() const { return m_data; }
    std::size_t size() const { return m_size; }

    void append(const char *bytes, std::size_t n)
    {
        if (n > m_capacity - m_size)
            grow(n);
        std::memcpy(m_data + m_size, bytes, n);
        m_size += n;
    }
    // Removes n bytes at offset; what follows moves up.
    void erase(std::size_t offset, std::size_t n);
    // Hands back the spare room of a heap buffer (a mapping's spare room
    // was never touched).
    void shrink();
    // The memory the buffer keeps resident, rounded to whole pages.
    std::size_t bytesHeld() const;

private:
    void grow(std::size_t more);
    void release() noexcept;

    char *m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    bool m_mapped = false;
};

// An array of a trivially copyable type on a GrowingBuffer.
template <typename T> class GrowingArray {
public:
    void push_back(const T &value) { m_bytes.append(reinterpret_cast<const char *>(&value), sizeof(T)); }
    std::size_t size() const { return m_bytes.size() / sizeof(T); }
    T *data() { return std::launder(reinterpret_cast<T *>(m_bytes.data())); }
    const T *data() const { return std::launder(reinterpret_cast<const T *>(m_bytes.data())); }
    T &operator[](std::size_t i) { return data()[i]; }
    const T &operator[](std::size_t i) const { return data()[i]; }
    void erase(std::size_t first, std::size_t count) { m_bytes.erase(first * sizeof(T), count * sizeof(T)); }
    void shrink() { m_bytes.shrink(); }
    std::size_t bytesHeld() const { return m_bytes.bytesHeld(); }

private:
    GrowingBuffer m_bytes;
};

} // namespace ledger
