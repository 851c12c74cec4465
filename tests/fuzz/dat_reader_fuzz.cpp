// libFuzzer target: any bytes, read as a whole .DAT file, end in a complete
// dataset (pointCount + 1 slots per channel, the last one empty) or a
// Failure -- never a crash, a hang or a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/Failure.h"
#include "datfile/DatReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    kestrane::Dataset dataset;
    try {
        kestrane::readDatBytes(std::string_view(reinterpret_cast<const char *>(data), size), std::int32_t(size), dataset);
    } catch (const kestrane::Failure &) {
        return 0;
    }
    for (const auto &slots : dataset.channelValues)
        if (slots.size() != std::size_t(dataset.pointCount) + 1 || slots.back())
            __builtin_trap();
    return 0;
}
