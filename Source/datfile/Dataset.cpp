#include "datfile/Dataset.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "common/Failure.h"

namespace kestrane {

ChannelSlot ChannelValues::at(std::size_t point) const
{
    if (point >= size())
        throw std::out_of_range("no such slot");
    return (*this)[point];
}

void ChannelValues::assignEmpty(std::size_t slots)
{
    // Every value and every mark goes, not only those past the new end.
    m_values.assign(slots, 0.0f);
    m_held.assign((slots + 63) / 64, 0);
}

void ChannelValues::release()
{
    // Swapped with empty vectors, so the storage is really given back.
    std::vector<float, ResidentAllocator<float>>().swap(m_values);
    std::vector<std::uint64_t>().swap(m_held);
}

bool ChannelValues::operator==(const ChannelValues &other) const
{
    if (size() != other.size())
        return false;
    for (std::size_t point = 0; point < size(); ++point) {
        const ChannelSlot mine = (*this)[point], theirs = other[point];
        if (mine.has_value() != theirs.has_value()
            || (mine && std::bit_cast<std::uint32_t>(*mine) != std::bit_cast<std::uint32_t>(*theirs)))
            return false;
    }
    return true;
}

void Dataset::sizeValueArrays(std::int32_t mostPoints)
{
    if (pointCount < 0)
        throw Failure(SubscriptOutOfRange);
    const std::size_t slots = std::size_t(std::min(pointCount, std::max(mostPoints, 0))) + 1;
    for (auto &channel : channelValues)
        channel.assignEmpty(slots);
}

void Dataset::failSubscript()
{
    throw Failure(SubscriptOutOfRange);
}

void Dataset::eraseValues()
{
    for (auto &channel : channelValues)
        channel.release();
}

} // namespace kestrane
