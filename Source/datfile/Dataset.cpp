#include "datfile/Dataset.h"

#include <algorithm>

#include "common/Failure.h"

namespace kestrane {

void Dataset::sizeValueArrays(std::int32_t mostPoints)
{
    if (pointCount < 0)
        throw Failure(SubscriptOutOfRange);
    const std::size_t slots = std::size_t(std::min(pointCount, std::max(mostPoints, 0))) + 1;
    for (auto &channel : channelValues) {
        // assign() rather than resize(): the previous file's values must go.
        channel.assign(slots, ChannelSlot{});
    }
}

void Dataset::storeValue(int channel, float value)
{
    if (channel < 1 || channel > ChannelCount)
        throw Failure(SubscriptOutOfRange);
    auto &slots = channelValues[std::size_t(channel - 1)];
    if (pointIndex < 0 || std::size_t(pointIndex) >= slots.size())
        throw Failure(SubscriptOutOfRange);
    slots[std::size_t(pointIndex)] = value;
}

void Dataset::eraseValues()
{
    for (auto &channel : channelValues) {
        // swap with an empty vector so the storage is really released
        std::vector<ChannelSlot>().swap(channel);
    }
}

} // namespace kestrane
