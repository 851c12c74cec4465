#include "workbook/spreadsheet/SharedStrings.h"

#include <algorithm>
#include <optional>

#include "workbook/spreadsheet/BiffRecords.h"

namespace kestrane::spreadsheet {

namespace {

constexpr std::uint16_t kSst = 0x00FC;
constexpr std::uint16_t kContinue = 0x003C;
constexpr std::uint16_t kExtSst = 0x00FF;

// A record whose body goes on in CONTINUE records when it reaches the limit.
class ContinuedRecord {
public:
    ContinuedRecord(ByteBuffer &out, std::uint16_t id) : m_out(out) { m_record.emplace(out, id); }

    // Bytes the current record can still take.
    std::size_t room() const { return biff::kMostBodyBytes - m_record->bodySize(); }
    // Where the current record's header starts.
    std::size_t recordStart() const { return m_record->start(); }
    // Ends the current record and opens a CONTINUE record.
    void continueRecord() { m_record.emplace(m_out, kContinue); }
    // Ends the current record.
    void finish() { m_record.reset(); }

private:
    ByteBuffer &m_out;
    std::optional<biff::Record> m_record;
};

// Where one bucket of EXTSST starts: its stream position and its offset from
// the start of the SST or CONTINUE record it lies in.
struct Bucket {
    std::uint32_t streamPosition;
    std::uint16_t offsetInRecord;
};

// Strings per EXTSST bucket: at least 8, and no more than 128 buckets.
std::uint16_t stringsPerBucket(std::size_t count)
{
    return std::uint16_t(std::max<std::size_t>(8, (count + 127) / 128));
}

} // namespace

void SharedStrings::use(const std::u16string &text)
{
    ++m_totalUses;
    if (m_index.emplace(text, std::uint32_t(m_strings.size())).second)
        m_strings.push_back(text);
}

std::uint32_t SharedStrings::indexOf(const std::u16string &text) const
{
    return m_index.at(text);
}

void SharedStrings::write(ByteBuffer &out) const
{
    const std::uint16_t perBucket = stringsPerBucket(m_strings.size());
    std::vector<Bucket> buckets;

    ContinuedRecord sst(out, kSst);
    out.u32(m_totalUses);
    out.u32(uniqueCount());
    for (std::size_t i = 0; i < m_strings.size(); ++i) {
        const std::u16string_view text = m_strings[i];
        const bool compressed = fitsInOneByte(text);
        const std::uint8_t options = compressed ? 0x00 : 0x01;
        const std::size_t characterSize = compressed ? 1 : 2;

        // A string's 3-byte header and its first character stay together.
        if (sst.room() < 3 + (text.empty() ? 0 : characterSize))
            sst.continueRecord();
        if (i % perBucket == 0)
            buckets.push_back({std::uint32_t(out.size()), std::uint16_t(out.size() - sst.recordStart())});
        out.u16(std::uint16_t(text.size()));
        out.u8(options);

        // The characters fill each record; a CONTINUE in the middle of a
        // string starts with the option byte again. A character never splits.
        std::u16string_view rest = text;
        while (!rest.empty()) {
            if (sst.room() < characterSize) {
                sst.continueRecord();
                out.u8(options);
            }
            const std::size_t count = std::min(rest.size(), sst.room() / characterSize);
            out.characters(rest.substr(0, count), compressed);
            rest.remove_prefix(count);
        }
    }
    sst.finish();

    const biff::Record extSst(out, kExtSst);
    out.u16(perBucket);
    for (const Bucket &bucket : buckets) {
        out.u32(bucket.streamPosition);
        out.u16(bucket.offsetInRecord);
        out.u16(0); // reserved
    }
}

} // namespace kestrane::spreadsheet
