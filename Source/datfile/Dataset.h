#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "common/ResidentMemory.h"
#include "datfile/FixedText.h"

namespace kestrane {

// One slot of a channel array: empty, or one single-precision value.
using ChannelSlot = std::optional<float>;

// One channel's slots, [point]: each empty or holding one single. A slot
// takes four bytes and one bit that says whether it holds a value, half the
// room of a std::optional<float>, so the largest log's channels fill half as
// many fresh pages.
class ChannelValues {
public:
    std::size_t size() const { return m_values.size(); }
    bool empty() const { return m_values.empty(); }
    std::size_t capacity() const { return m_values.capacity(); }
    ChannelSlot operator[](std::size_t point) const
    {
        return (m_held[point / 64] >> (point % 64) & 1) ? ChannelSlot(m_values[point]) : std::nullopt;
    }
    // As operator[], and a failure past the last slot.
    ChannelSlot at(std::size_t point) const;
    ChannelSlot back() const { return (*this)[size() - 1]; }
    // Slot `point` (below size()) receives value.
    void set(std::size_t point, float value)
    {
        m_values[point] = value;
        m_held[point / 64] |= std::uint64_t(1) << (point % 64);
    }
    // Slots 0..slots-1, all empty: the previous values go.
    void assignEmpty(std::size_t slots);
    // No slots, and the storage given back.
    void release();
    // The same slots, each empty or holding the very same bits.
    bool operator==(const ChannelValues &other) const;

private:
    std::vector<float, ResidentAllocator<float>> m_values; // [point]
    std::vector<std::uint64_t> m_held;                     // bit point % 64 of [point / 64]
};

// The loaded dataset: what carries one .DAT file from the open command to the
// convert command. The window holds one for its whole life; every access is on
// the user-interface thread, one command at a time.
struct Dataset {
    static constexpr int ChannelCount = 7;

    bool fileLoaded = false;    // the last open read its file completely
    bool fileConverted = false; // the convert command has finished since the last open or unload
    std::int32_t pointCount = 0; // data points per channel of the last file measured
    std::int32_t pointIndex = 0; // working point counter shared by the read and the convert loops
    std::array<ChannelValues, ChannelCount> channelValues; // [channel - 1][point]
    std::array<FixedText, ChannelCount> channelNames;      // [channel - 1]
    std::array<std::int16_t, 2> timeSettings{}; // logging interval (s), second timing figure
    FixedText recordText; // the reader's working buffer, one record wide

    // fileConverted becomes false.
    void clearConverted() { fileConverted = false; }
    // Each array gets slots 0..pointCount, all empty; a negative pointCount
    // cannot size an array and fails with "Subscript out of range". A caller
    // that can fill no slot past `mostPoints` gets no more than slots
    // 0..mostPoints, so storage nothing can reach is never taken.
    void sizeValueArrays(std::int32_t mostPoints = std::numeric_limits<std::int32_t>::max());
    // Slot pointIndex of channel (1..7) receives value. Inline: the read
    // stores every value of a file through it.
    void storeValue(int channel, float value)
    {
        if (channel < 1 || channel > ChannelCount)
            failSubscript();
        auto &values = channelValues[std::size_t(channel - 1)];
        if (pointIndex < 0 || std::size_t(pointIndex) >= values.size())
            failSubscript();
        values.set(std::size_t(pointIndex), value);
    }
    // "Subscript out of range".
    [[noreturn]] static void failSubscript();
    // fileLoaded becomes true.
    void markLoaded() { fileLoaded = true; }
    // fileLoaded becomes false.
    void markNotLoaded() { fileLoaded = false; }
    // All seven arrays are released; counts, names and timing figures stay.
    void eraseValues();
};

} // namespace kestrane
