#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "common/ResidentMemory.h"

namespace kestrane::spreadsheet {

// Where a buffer hands on the bytes it has gathered, in order.
using ByteWriter = std::function<void(std::span<const unsigned char>)>;

// A growing run of bytes with little-endian writers, the byte order of every
// field in the .xls format; values can be patched in afterwards.
class ByteBuffer {
public:
    ByteBuffer() = default;
    // A buffer that hands its bytes on to `drain` whenever `runBytes` are
    // gathered, and is empty again: a long stream passes through a small
    // buffer. Bytes handed on can no longer be patched.
    ByteBuffer(std::size_t runBytes, ByteWriter drain) : m_drain(std::move(drain)) { reallocate(runBytes); }

    // Hands on the bytes gathered so far; a buffer without a drain keeps them.
    void flush()
    {
        if (!m_drain)
            return;
        if (m_size)
            m_drain(view());
        m_drained += m_size;
        m_size = 0;
    }

    void u8(std::uint8_t value) { *grow(1) = value; }
    void u16(std::uint16_t value) { store(grow(2), value); }
    void u32(std::uint32_t value) { store(grow(4), value); }
    void f64(double value) { store(grow(8), std::bit_cast<std::uint64_t>(value)); }
    void zeros(std::size_t count) { std::memset(grow(count), 0, count); }
    void bytes(std::span<const unsigned char> more)
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

    // Room for `count` more bytes at the end, for the caller to fill in place
    // with the stores below: a fixed-size record then costs one check for
    // room rather than one per field.
    unsigned char *append(std::size_t count) { return grow(count); }
    static void storeU16(unsigned char *at, std::uint16_t value) { store(at, value); }
    static void storeU32(unsigned char *at, std::uint32_t value) { store(at, value); }
    static void storeF64(unsigned char *at, double value) { store(at, std::bit_cast<std::uint64_t>(value)); }

    void patchU16(std::size_t at, std::uint16_t value) { write(&m_bytes[at - m_drained], value, 2); }
    void patchU32(std::size_t at, std::uint32_t value) { write(&m_bytes[at - m_drained], value, 4); }

    // Bytes written in all, those handed on included.
    std::size_t size() const { return m_drained + m_size; }
    // Room for `size` bytes in all, taken at once.
    void reserve(std::size_t size)
    {
        if (size > m_capacity)
            reallocate(size);
    }
    // The bytes written and not handed on, in place.
    std::span<const unsigned char> view() const { return {m_bytes.get(), m_size}; }
    // A copy of the bytes written and not handed on.
    std::vector<unsigned char> toVector() const { return {m_bytes.get(), m_bytes.get() + m_size}; }

private:
    // Room for `count` more bytes at the end; the storage doubles as it fills,
    // so writing a file costs few reallocations.
    unsigned char *grow(std::size_t count)
    {
        if (m_size + count > m_capacity)
            makeRoom(count);
        unsigned char *at = m_bytes.get() + m_size;
        m_size += count;
        return at;
    }
    void makeRoom(std::size_t count)
    {
        if (m_drain) {
            flush();
            if (count <= m_capacity)
                return;
        }
        reallocate(std::max(2 * m_capacity, m_size + count));
    }
    // The storage is left uninitialised: every byte is written before it is
    // read, and zero-filling a large buffer first would touch it twice.
    void reallocate(std::size_t capacity)
    {
        std::unique_ptr<unsigned char[]> larger(new unsigned char[capacity]);
        makeResident(larger.get(), capacity);
        if (m_size)
            std::memcpy(larger.get(), m_bytes.get(), m_size);
        m_bytes = std::move(larger);
        m_capacity = capacity;
    }
    // One little-endian store of a whole value; on a little-endian machine
    // that is a plain copy of its bytes.
    template <typename Unsigned>
    static void store(unsigned char *at, Unsigned value)
    {
        if constexpr (std::endian::native == std::endian::little)
            std::memcpy(at, &value, sizeof value);
        else
            write(at, value, int(sizeof value));
    }
    static void write(unsigned char *at, std::uint64_t value, int count)
    {
        for (int i = 0; i < count; ++i)
            at[i] = static_cast<unsigned char>(value >> (8 * i));
    }

    std::unique_ptr<unsigned char[]> m_bytes; // storage; its first m_size bytes are written
    std::size_t m_capacity = 0;
    std::size_t m_size = 0;
    std::size_t m_drained = 0; // bytes handed on to m_drain
    ByteWriter m_drain;
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
