#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "datfile/Dataset.h"

namespace kestrane::fuzz {

// The most points a loaded dataset can hold: the reader's 16-bit record
// counter stops a longer file.
constexpr int MostPoints = 4679;

// Turns arbitrary bytes into a dataset as a complete read leaves it, so the
// writer sees every shape a loaded file can have:
//   bytes 0-1    point count, little-endian: with the top bit set, the
//                rest modulo 4680 (0 to 4679); otherwise the low byte (0 to
//                255), so that most runs are quick and the largest shapes
//                still come up
//   bytes 2-3    the logging interval, any signed 16-bit integer
//   bytes 4-5    the second timing figure
//   bytes 6-145  the seven 20-byte names, any bytes, Windows-1252
//   the rest     single-precision values, 4 bytes each, little-endian, point
//                after point and channels 1 to 7 within a point; when they
//                run out they start again from the first (all zero if none)
// Header bytes beyond the input read as zero. A short input thus still makes
// a dataset of up to 4679 points, and NaN, infinities and denormals are all
// a few bit flips away.
class FuzzedDataset {
public:
    static constexpr std::size_t HeaderSize = 6 + 7 * 20;

    explicit FuzzedDataset(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    Dataset make() const
    {
        Dataset dataset;
        const std::uint16_t count = u16(0);
        dataset.pointCount = (count & 0x8000) ? int((count & 0x7FFF) % (MostPoints + 1)) : int(count & 0xFF);
        dataset.timeSettings = {std::int16_t(u16(2)), std::int16_t(u16(4))};
        dataset.sizeValueArrays();
        for (dataset.pointIndex = 0; dataset.pointIndex < dataset.pointCount; ++dataset.pointIndex)
            for (int channel = 1; channel <= Dataset::ChannelCount; ++channel)
                dataset.storeValue(channel, value(channel, dataset.pointIndex));
        for (int k = 0; k < Dataset::ChannelCount; ++k) {
            char name[20];
            for (int i = 0; i < 20; ++i)
                name[i] = char(byte(6 + std::size_t(k) * 20 + std::size_t(i)));
            dataset.recordText = decodeWindows1252(std::string_view(name, sizeof name));
            dataset.channelNames[std::size_t(k)] = dataset.recordText;
        }
        dataset.markLoaded();
        return dataset;
    }

    // The value of channel (1..7) at a point, as make() stores it.
    float value(int channel, int point) const
    {
        const std::size_t available = m_bytes.size() > HeaderSize ? (m_bytes.size() - HeaderSize) / 4 : 0;
        if (available == 0)
            return 0.0f;
        const std::size_t at = HeaderSize + 4 * ((std::size_t(point) * 7 + std::size_t(channel - 1)) % available);
        return std::bit_cast<float>(std::uint32_t(m_bytes[at]) | std::uint32_t(m_bytes[at + 1]) << 8
                                    | std::uint32_t(m_bytes[at + 2]) << 16 | std::uint32_t(m_bytes[at + 3]) << 24);
    }

private:
    std::uint8_t byte(std::size_t at) const { return at < m_bytes.size() ? m_bytes[at] : 0; }
    std::uint16_t u16(std::size_t at) const { return std::uint16_t(byte(at) | byte(at + 1) << 8); }

    std::span<const std::uint8_t> m_bytes;
};

} // namespace kestrane::fuzz
