#include "datfile/DatReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "common/Failure.h"
#include "common/Numbers.h"
#include "datfile/LogFile.h"

namespace kestrane {

namespace {

// The 16-bit record counter never gets past this record, so no byte beyond it
// is ever read: a file of any length costs at most this much memory.
constexpr std::int64_t kLastReadableRecord = 32767;
constexpr std::int64_t kMostBytesRead = kLastReadableRecord * DatRecordLength;
// Points 0 to 4680 lie in records up to 32767: no read stores more than
// 4681 points, and slot 4681 stays empty, as slot pointCount does after a
// complete read.
constexpr std::int32_t kMostPointsStored = std::int32_t(kLastReadableRecord / Dataset::ChannelCount);

// The file's records, numbered from 1, asked for in rising order. A record
// that lies wholly or partly beyond the end of the file reads as zero bytes
// there, so a file whose length does not match its content still yields
// values rather than failing.
//
// Either all bytes are given at once, or they are read from a file a chunk
// at a time as the walk moves on: one small buffer serves the whole file,
// so a read touches little fresh memory however long the file is (converting
// the largest log takes 400 minor page faults so, 545 with the file read in
// one call). A file that shrinks meanwhile simply gives fewer bytes.
class RecordFile {
public:
    explicit RecordFile(std::string_view bytes) : m_window(bytes) {}
    RecordFile(LogFile &file, std::int64_t bytesToRead)
        : m_file(&file), m_left(bytesToRead), m_chunk(new char[kChunkBytes])
    {
    }

    // The first `count` bytes of a record; what lies past the end reads as 0.
    template <std::size_t count>
    std::array<unsigned char, count> head(std::int16_t number)
    {
        std::array<unsigned char, count> head{};
        const std::int64_t start = std::int64_t(number - 1) * DatRecordLength;
        while (start >= m_windowStart + std::int64_t(m_window.size()) && readChunk()) {
        }
        const std::int64_t offset = start - m_windowStart;
        // Nearly always the bytes are all at hand: a copy of a size known here
        // is a single load, where a copy of a computed size is a library call
        // (converting the largest log takes 18.5 M instructions so, 19.6 M
        // with the computed copy alone).
        if (offset >= 0 && std::size_t(offset) + count <= m_window.size())
            std::memcpy(head.data(), m_window.data() + offset, count);
        else if (offset >= 0 && std::size_t(offset) < m_window.size())
            std::memcpy(head.data(), m_window.data() + offset, m_window.size() - std::size_t(offset));
        return head;
    }

    // Bytes 0 to 3: an IEEE 754 single, least significant byte first.
    float numeric(std::int16_t number)
    {
        const auto r = head<4>(number);
        const std::uint32_t bits = std::uint32_t(r[0]) | std::uint32_t(r[1]) << 8
                                   | std::uint32_t(r[2]) << 16 | std::uint32_t(r[3]) << 24;
        return std::bit_cast<float>(bits);
    }

    // All 20 bytes, decoded from the logger's code page and kept whole.
    std::u16string name(std::int16_t number)
    {
        const auto r = head<DatRecordLength>(number);
        return decodeWindows1252(std::string_view(reinterpret_cast<const char *>(r.data()), r.size()));
    }

private:
    // Whole records, so that no record is split between two chunks.
    static constexpr std::size_t kChunkBytes = 3276 * DatRecordLength; // 64 KiB less 16 bytes

    // The next chunk of the file becomes the window; false at its end.
    bool readChunk()
    {
        if (m_file == nullptr || m_left <= 0)
            return false;
        m_windowStart += std::int64_t(m_window.size());
        const std::size_t want = std::size_t(std::min<std::int64_t>(m_left, kChunkBytes));
        std::size_t done = 0;
        while (done < want) {
            const std::size_t got = m_file->read(m_chunk.get() + done, want - done);
            if (got == 0)
                break;
            done += got;
        }
        m_window = std::string_view(m_chunk.get(), done);
        m_left = done < want ? 0 : m_left - std::int64_t(done);
        return done > 0;
    }

    LogFile *m_file = nullptr;
    std::int64_t m_left = 0;           // bytes of the file still to be read
    std::unique_ptr<char[]> m_chunk;    // the buffer a file is read through
    std::string_view m_window;          // the bytes at hand
    std::int64_t m_windowStart = 0;     // their place in the file
};

// Walks the records: the point values, the two timing figures, the names.
void walkRecords(RecordFile &records, std::int32_t length, Dataset &dataset, const ReadHooks &hooks);

void call(const std::function<void()> &hook)
{
    if (hook)
        hook();
}

} // namespace

std::int32_t pointCountFromLength(std::int32_t length)
{
    const std::int32_t records = roundToInt32(double(length) / DatRecordLength);
    const std::int32_t dataRecords = records - 9;
    return roundToInt32(double(dataRecords) / Dataset::ChannelCount);
}

void readDatFile(const std::filesystem::path &path, Dataset &dataset, const ReadHooks &hooks)
{
    LogFile file(path);
    const std::int32_t length = file.length();
    // Never more than the counter can reach is read.
    RecordFile records(file, std::min<std::int64_t>(length, kMostBytesRead));
    walkRecords(records, length, dataset, hooks);
}

void readDatBytes(std::string_view bytes, std::int32_t length, Dataset &dataset, const ReadHooks &hooks)
{
    RecordFile records(bytes);
    walkRecords(records, length, dataset, hooks);
}

namespace {

void walkRecords(RecordFile &records, std::int32_t length, Dataset &dataset, const ReadHooks &hooks)
{
    dataset.pointCount = pointCountFromLength(length);
    call(hooks.lengthMeasured);

    // The record counter ends every read at record 32767 at the latest, the
    // last of point 4680, so no slot past that point can ever be filled: a
    // file longer than any readable one (up to 2 GiB) takes no more memory
    // than the largest readable one before it fails.
    dataset.sizeValueArrays(kMostPointsStored);
    call(hooks.arraysSized);

    std::int16_t counter = 1;
    dataset.pointIndex = 0;
    while (dataset.pointIndex != dataset.pointCount) {
        for (int channel = 1; channel <= Dataset::ChannelCount; ++channel) {
            dataset.storeValue(channel, records.numeric(counter));
            counter = checkedAdd(counter, 1);
        }
        ++dataset.pointIndex;
        if (hooks.pointRead)
            hooks.pointRead(dataset.pointIndex);
    }

    for (auto &figure : dataset.timeSettings) {
        figure = roundToInt16(records.numeric(counter));
        counter = checkedAdd(counter, 1);
    }

    for (int k = 0; k < Dataset::ChannelCount; ++k) {
        if (k > 0)
            counter = checkedAdd(counter, 1);
        dataset.recordText = records.name(counter);
        dataset.channelNames[std::size_t(k)] = dataset.recordText;
    }
}

} // namespace

} // namespace kestrane
