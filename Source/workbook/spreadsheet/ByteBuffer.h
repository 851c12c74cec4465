#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace kestrane::spreadsheet {

// A growing run of bytes with little-endian writers, the byte order of every
// field in the .xls format; values can be patched in afterwards.
class ByteBuffer {
public:
    void u8(std::uint8_t value) { *grow(1) = value; }
    void u16(std::uint16_t value) { put(value, 2); }
    void u32(std::uint32_t value) { put(value, 4); }
    void f64(double value) { put(std::bit_cast<std::uint64_t>(value), 8); }
    void zeros(std::size_t count) { std::memset(grow(count), 0, count); }
    void bytes(const std::vector<unsigned char> &more)
    {
        if (!more.empty())
            std::memcpy(grow(more.size()), more.data(), more.size());
    }

    // Characters as UTF-16LE, or as their low bytes when `compressed` (every
    // character below 256).
    void characters(std::u16string_view text, bool compressed)
    {
        unsigned char *at = grow(text.size() * (compressed ? 1 : 2));
        for (const char16_t c : text) {
            *at++ = static_cast<unsigned char>(c);
            if (!compressed)
                *at++ = static_cast<unsigned char>(c >> 8);
        }
    }

    void patchU16(std::size_t at, std::uint16_t value) { write(&m_bytes[at], value, 2); }
    void patchU32(std::size_t at, std::uint32_t value) { write(&m_bytes[at], value, 4); }

    std::size_t size() const { return m_size; }
    void reserve(std::size_t size)
    {
        if (size > m_bytes.size())
            m_bytes.resize(size);
    }
    // The bytes written; the buffer is left empty.
    std::vector<unsigned char> take()
    {
        m_bytes.resize(m_size);
        m_size = 0;
        return std::move(m_bytes);
    }

private:
    // Room for `count` more bytes at the end; the storage doubles as it fills,
    // so writing a file costs few reallocations.
    unsigned char *grow(std::size_t count)
    {
        if (m_size + count > m_bytes.size())
            m_bytes.resize(std::max(2 * m_bytes.size(), m_size + count));
        unsigned char *at = m_bytes.data() + m_size;
        m_size += count;
        return at;
    }
    void put(std::uint64_t value, int count) { write(grow(std::size_t(count)), value, count); }
    static void write(unsigned char *at, std::uint64_t value, int count)
    {
        for (int i = 0; i < count; ++i)
            at[i] = static_cast<unsigned char>(value >> (8 * i));
    }

    std::vector<unsigned char> m_bytes; // storage; its first m_size bytes are written
    std::size_t m_size = 0;
};

// True when every character fits in one byte, so the text can be stored
// "compressed" (its low bytes only).
inline bool fitsInOneByte(std::u16string_view text)
{
    for (const char16_t c : text)
        if (c > 0xFF)
            return false;
    return true;
}

} // namespace kestrane::spreadsheet
