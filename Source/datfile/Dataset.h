#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "datfile/FixedText.h"

namespace kestrane {

// One slot of a channel array: empty, or one single-precision value.
using ChannelSlot = std::optional<float>;

// The loaded dataset: what carries one .DAT file from the open command to the
// convert command. The window holds one for its whole life; every access is on
// the user-interface thread, one command at a time.
struct Dataset {
    static constexpr int ChannelCount = 7;

    // The two flags the commands set and clear by plain assignment.
    bool fileLoaded = false;    // the last open read its file completely
    bool fileConverted = false; // the convert command has finished since the last open or unload
    std::int32_t pointCount = 0; // data points per channel of the last file measured
    std::int32_t pointIndex = 0; // working point counter shared by the read and the convert loops
    std::array<std::vector<ChannelSlot>, ChannelCount> channelValues; // [channel - 1][point]
    std::array<FixedText, ChannelCount> channelNames;                 // [channel - 1]
    std::array<std::int16_t, 2> timeSettings{}; // logging interval (s), second timing figure
    FixedText recordText; // the reader's working buffer, one record wide

    // Each array gets slots 0..pointCount, all empty; a negative pointCount
    // cannot size an array and fails with "Subscript out of range". A caller
    // that can fill no slot past `mostPoints` gets no more than slots
    // 0..mostPoints, so storage nothing can reach is never taken.
    void sizeValueArrays(std::int32_t mostPoints = std::numeric_limits<std::int32_t>::max());
    // Slot pointIndex of channel (1..7) receives value.
    void storeValue(int channel, float value);
    // All seven arrays are released; counts, names and timing figures stay.
    void eraseValues();
};

} // namespace kestrane
