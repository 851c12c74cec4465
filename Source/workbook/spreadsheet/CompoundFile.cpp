#include "workbook/spreadsheet/CompoundFile.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/Failure.h"
#include "workbook/spreadsheet/ByteBuffer.h"

namespace kestrane::spreadsheet {

namespace {

constexpr std::size_t kSectorSize = 512;
constexpr std::size_t kEntriesPerFatSector = kSectorSize / 4;
constexpr std::size_t kHeaderFatSectors = 109; // the FAT list the header holds
constexpr std::size_t kSmallestStream = 4096;  // below this a stream would belong in the mini stream

// Special sector numbers of the FAT.
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

// Where everything lies, in sectors after the header: the stream, one
// directory sector, then the FAT.
struct SectorPlan {
    std::size_t streamSize;     // bytes, padded to at least 4096
    std::size_t streamSectors;
    std::size_t directorySector;
    std::size_t firstFatSector;
    std::size_t fatSectors;
};

std::size_t sectorsFor(std::size_t bytes) { return (bytes + kSectorSize - 1) / kSectorSize; }

SectorPlan planFor(std::size_t streamBytes)
{
    SectorPlan plan{};
    plan.streamSize = std::max(streamBytes, kSmallestStream);
    plan.streamSectors = sectorsFor(plan.streamSize);
    plan.directorySector = plan.streamSectors;
    plan.firstFatSector = plan.directorySector + 1;
    // The FAT has an entry for every sector, its own included.
    plan.fatSectors = 1;
    while (plan.fatSectors * kEntriesPerFatSector < plan.firstFatSector + plan.fatSectors)
        ++plan.fatSectors;
    return plan;
}

// ---- writing ----

// The 512-byte header: signature, version 3, sector sizes, the FAT's place.
void writeHeader(ByteBuffer &out, const SectorPlan &plan)
{
    for (const unsigned char b : {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1})
        out.u8(b);
    out.zeros(16);                         // class id: none
    out.u16(0x003E);                       // minor version
    out.u16(0x0003);                       // major version 3: 512-byte sectors
    out.u16(0xFFFE);                       // little-endian
    out.u16(9);                            // sector size 2^9
    out.u16(6);                            // mini sector size 2^6
    out.zeros(6);                          // reserved
    out.u32(0);                            // directory sectors: always 0 in version 3
    out.u32(std::uint32_t(plan.fatSectors));
    out.u32(std::uint32_t(plan.directorySector));
    out.u32(0);                            // transaction signature
    out.u32(std::uint32_t(kSmallestStream)); // mini stream cutoff
    out.u32(kEndOfChain);                  // first mini FAT sector: none
    out.u32(0);                            // mini FAT sectors
    out.u32(kEndOfChain);                  // first DIFAT sector: none
    out.u32(0);                            // DIFAT sectors
    for (std::size_t i = 0; i < kHeaderFatSectors; ++i)
        out.u32(i < plan.fatSectors ? std::uint32_t(plan.firstFatSector + i) : kFreeSector);
}

// One 128-byte directory entry.
void writeDirectoryEntry(ByteBuffer &out, std::u16string_view name, std::uint8_t type, std::uint32_t child,
                         std::uint32_t startSector, std::uint32_t size)
{
    const std::size_t nameStart = out.size();
    out.characters(name, false);
    out.zeros(64 - (out.size() - nameStart)); // the name, zero-terminated and zero-filled
    out.u16(name.empty() ? 0 : std::uint16_t((name.size() + 1) * 2));
    out.u8(type);
    out.u8(type == 0 ? 0 : 1);             // colour: black
    out.u32(kNoStream);                    // left sibling
    out.u32(kNoStream);                    // right sibling
    out.u32(child);
    out.zeros(16);                         // class id
    out.u32(0);                            // state bits
    out.zeros(16);                         // creation and modification times
    out.u32(startSector);
    out.u32(size);                         // size, low 32 bits
    out.u32(0);                            // size, high 32 bits: 0 in version 3
}

// The directory sector: the root, the "Workbook" stream, two unused entries.
void writeDirectory(ByteBuffer &out, const SectorPlan &plan)
{
    writeDirectoryEntry(out, u"Root Entry", 5, 1, kEndOfChain, 0);
    writeDirectoryEntry(out, u"Workbook", 2, kNoStream, 0, std::uint32_t(plan.streamSize));
    writeDirectoryEntry(out, u"", 0, kNoStream, 0, 0);
    writeDirectoryEntry(out, u"", 0, kNoStream, 0, 0);
}

// The FAT: the stream's chain, the directory's one-sector chain, the FAT's own
// sectors, and free entries to the end of its last sector.
void writeFat(ByteBuffer &out, const SectorPlan &plan)
{
    for (std::size_t s = 0; s + 1 < plan.streamSectors; ++s)
        out.u32(std::uint32_t(s + 1));
    out.u32(kEndOfChain);                  // last stream sector
    out.u32(kEndOfChain);                  // the directory sector
    for (std::size_t s = 0; s < plan.fatSectors; ++s)
        out.u32(kFatSector);
    const std::size_t used = plan.firstFatSector + plan.fatSectors;
    for (std::size_t s = used; s < plan.fatSectors * kEntriesPerFatSector; ++s)
        out.u32(kFreeSector);
}

// A failure unless a stream of `streamSize` bytes fits: n stream sectors + 1
// directory + 109 FAT sectors <= 109 * 128 entries.
void requireStreamFits(std::size_t streamSize)
{
    if (streamSize > (kHeaderFatSectors * kEntriesPerFatSector - 1 - kHeaderFatSectors) * kSectorSize)
        throw Failure(ApplicationDefined, "The workbook is too large for the .xls file format");
}

} // namespace

// ---- public ----

void writeCompoundFile(std::size_t streamSize, const std::function<void(const ByteWriter &)> &writeStream,
                       const ByteWriter &write)
{
    requireStreamFits(streamSize);
    const SectorPlan plan = planFor(streamSize);
    ByteBuffer out;
    writeHeader(out, plan);
    write(out.view());
    std::size_t written = 0;
    writeStream([&](std::span<const unsigned char> bytes) {
        written += bytes.size();
        write(bytes);
    });
    if (written != streamSize)
        throw Failure(ApplicationDefined, "The workbook stream came out " + std::to_string(written) + " bytes long, not the "
                                              + std::to_string(streamSize) + " bytes counted for it");
    out.clear();
    out.zeros(plan.streamSectors * kSectorSize - streamSize);
    writeDirectory(out, plan);
    writeFat(out, plan);
    write(out.view());
}

} // namespace kestrane::spreadsheet
