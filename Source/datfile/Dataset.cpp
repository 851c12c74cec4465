#include "datfile/Dataset.h"

#include "common/Failure.h"

namespace kestrane {

void Dataset::sizeValueArrays()
{
    if (pointCount < 0)
        throw Failure(SubscriptOutOfRange);
    for (auto &channel : channelValues) {
        // assign() rather than resize(): the previous file's values must go.
        channel.assign(std::size_t(pointCount) + 1, ChannelSlot{});
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
