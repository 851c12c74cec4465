#include "datfile/DatReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/Failure.h"
#include "common/Numbers.h"

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

// Closes a POSIX file descriptor on every way out of the read.
class FileHandle {
public:
    explicit FileHandle(int fd) : m_fd(fd) {}
    ~FileHandle() { if (m_fd >= 0) ::close(m_fd); }
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

bool folderExists(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The failure for a file that cannot be opened, by what the system said.
Failure openFailure(const std::string &path, int error)
{
    switch (error) {
    case ENOENT: return Failure(folderExists(path) ? FileNotFound : PathNotFound);
    case ENOTDIR: return Failure(PathNotFound);
    case EACCES:
    case EPERM: return Failure(PermissionDenied);
    case ENAMETOOLONG: return Failure(BadFileNameOrNumber);
    default: return Failure(PathFileAccessError);
    }
}

// Opens the file for reading only. A path that does not exist is refused,
// never created; O_NONBLOCK keeps a named pipe from hanging the open.
int openForReading(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw openFailure(path, errno);
    return fd;
}

// The file's length as the signed 32-bit number the point count is made from.
std::int32_t fileLength(int fd)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw Failure(DeviceIOError);
    if (S_ISDIR(info.st_mode))
        throw Failure(PathFileAccessError);
    if (!S_ISREG(info.st_mode))
        return 0; // a device or pipe has no length: it reads as an empty file
    if (info.st_size > std::int64_t(INT32_MAX))
        throw Failure(Overflow, "Overflow: the file is longer than 2 GiB");
    return std::int32_t(info.st_size);
}

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
    RecordFile(int fd, std::int64_t bytesToRead)
        : m_fd(fd), m_left(bytesToRead), m_chunk(new char[kChunkBytes])
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
        if (m_fd < 0 || m_left <= 0)
            return false;
        m_windowStart += std::int64_t(m_window.size());
        const std::size_t want = std::size_t(std::min<std::int64_t>(m_left, kChunkBytes));
        std::size_t done = 0;
        while (done < want) {
            const ssize_t got = ::read(m_fd, m_chunk.get() + done, want - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                throw Failure(errno == EISDIR ? PathFileAccessError : DeviceIOError);
            if (got == 0)
                break;
            done += std::size_t(got);
        }
        m_window = std::string_view(m_chunk.get(), done);
        m_left = done < want ? 0 : m_left - std::int64_t(done);
        return done > 0;
    }

    int m_fd = -1;
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

void readDatFile(const std::string &path, Dataset &dataset, const ReadHooks &hooks)
{
    const FileHandle file(openForReading(path));
    const std::int32_t length = fileLength(file.fd());
    // Never more than the counter can reach is read.
    RecordFile records(file.fd(), std::min<std::int64_t>(length, kMostBytesRead));
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
