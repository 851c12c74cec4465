// libFuzzer target: any bytes, read as a whole .DAT file, must end in a
// complete dataset or a Failure -- never a crash, a hang or a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

#include "common/Failure.h"
#include "datfile/DatReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    kestrane::Dataset dataset;
    const auto length = std::int32_t(std::min<std::size_t>(size, std::numeric_limits<std::int32_t>::max()));
    std::int32_t lastPoint = 0;
    kestrane::ReadHooks hooks;
    hooks.pointRead = [&](std::int32_t index) {
        if (index != lastPoint + 1)
            __builtin_trap(); // points are reported one by one, in order
        lastPoint = index;
    };
    try {
        kestrane::readDatBytes(std::string_view(reinterpret_cast<const char *>(data), size), length, dataset, hooks);
        // A complete read holds pointCount + 1 slots per channel, the last one empty.
        for (const auto &slots : dataset.channelValues)
            if (slots.size() != std::size_t(dataset.pointCount) + 1 || slots.back().has_value())
                __builtin_trap();
    } catch (const kestrane::Failure &) {
        // Every bad file ends here.
    }
    return 0;
}
