#include "XlsWalker.h"

#include <algorithm>
#include <array>
#include <bit>
#include <fstream>
#include <iterator>
#include <set>

namespace kestrane::xls {

namespace {

// Thrown inside the walker when the bytes end where a field should be; the
// walk stops there and says so.
struct Truncated {
    std::string where;
};

// Bounds-checked little-endian reads.
class Reader {
public:
    explicit Reader(std::span<const unsigned char> bytes, std::string where = "record")
        : m_bytes(bytes), m_where(std::move(where)) {}

    std::size_t size() const { return m_bytes.size(); }
    std::uint8_t u8(std::size_t at) const { return need(at, 1)[0]; }
    std::uint16_t u16(std::size_t at) const { return std::uint16_t(get(at, 2)); }
    std::uint32_t u32(std::size_t at) const { return std::uint32_t(get(at, 4)); }
    double f64(std::size_t at) const { return std::bit_cast<double>(get(at, 8)); }
    std::span<const unsigned char> slice(std::size_t at, std::size_t count) const
    {
        return std::span<const unsigned char>(need(at, count), count);
    }

private:
    const unsigned char *need(std::size_t at, std::size_t count) const
    {
        if (at > m_bytes.size() || count > m_bytes.size() - at)
            throw Truncated{m_where};
        return m_bytes.data() + at;
    }
    std::uint64_t get(std::size_t at, std::size_t count) const
    {
        const unsigned char *p = need(at, count);
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < count; ++i)
            value |= std::uint64_t(p[i]) << (8 * i);
        return value;
    }

    std::span<const unsigned char> m_bytes;
    std::string m_where;
};

std::string hex(unsigned value)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 12; shift >= 0; shift -= 4)
        text += digits[(value >> shift) & 0xF];
    return text;
}

// ===================================================================
// The compound file
// ===================================================================

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::size_t kSector = 512;

class CompoundFile {
public:
    CompoundFile(std::span<const unsigned char> file, std::vector<std::string> &problems)
        : m_file(file, "compound file"), m_problems(problems) {}

    // The bytes of the "Workbook" stream, or nothing if the file has none.
    std::vector<unsigned char> workbookStream(std::size_t &streamSize)
    {
        checkHeader();
        readFat();
        const auto directory = chain(m_file.u32(0x30), "directory");
        for (const std::uint32_t sector : directory)
            if (m_fat[sector] == kFatSector)
                problem("a directory sector is marked as a FAT sector");

        std::optional<std::size_t> workbookEntry;
        const std::size_t entries = directory.size() * kSector / 128;
        for (std::size_t i = 0; i < entries; ++i) {
            const Reader entry(m_file.slice(sectorOffset(directory[i / 4]) + (i % 4) * 128, 128), "directory entry");
            const std::uint8_t type = entry.u8(66);
            const std::u16string name = entryName(entry);
            if (i == 0) {
                if (type != 5 || name != u"Root Entry")
                    problem("directory entry 0 is not the root entry");
                if (entry.u32(116) != kEndOfChain || entry.u32(120) != 0)
                    problem("the root entry has a mini stream");
            } else if (type == 0) {
                checkUnusedEntry(entry);
            } else if (type == 2 && name == u"Workbook") {
                workbookEntry = i;
            }
        }
        if (!workbookEntry) {
            problem("no \"Workbook\" stream in the directory");
            return {};
        }
        const Reader entry(m_file.slice(sectorOffset(directory[*workbookEntry / 4]) + (*workbookEntry % 4) * 128, 128));
        streamSize = entry.u32(120);
        if (entry.u32(124) != 0)
            problem("stream size high half not 0 in a version 3 file");
        if (streamSize < 4096)
            problem("Workbook stream below 4096 bytes belongs in the mini stream");
        const auto sectors = chain(entry.u32(116), "Workbook stream");
        if (sectors.size() != (streamSize + kSector - 1) / kSector)
            problem("Workbook stream chain has " + std::to_string(sectors.size()) + " sectors for "
                    + std::to_string(streamSize) + " bytes");
        std::vector<unsigned char> stream;
        for (const std::uint32_t sector : sectors) {
            const auto bytes = m_file.slice(sectorOffset(sector), kSector);
            stream.insert(stream.end(), bytes.begin(), bytes.end());
        }
        stream.resize(std::min(stream.size(), streamSize));
        return stream;
    }

private:
    void problem(const std::string &text) { m_problems.push_back("compound file: " + text); }

    void checkHeader()
    {
        static const unsigned char signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        const auto head = m_file.slice(0, 8);
        if (!std::equal(head.begin(), head.end(), std::begin(signature)))
            problem("no compound file signature");
        if (m_file.u16(0x1A) != 3 || m_file.u16(0x1E) != 9)
            problem("not version 3 with 512-byte sectors");
        if (m_file.u16(0x1C) != 0xFFFE)
            problem("byte order mark wrong");
        if (m_file.u16(0x20) != 6 || m_file.u32(0x38) != 4096)
            problem("mini sector size or cutoff not the standard ones");
        if (m_file.u32(0x28) != 0)
            problem("directory sector count must be 0 in version 3");
        if (m_file.u32(0x3C) != kEndOfChain || m_file.u32(0x40) != 0)
            problem("a mini FAT is present");
        if (m_file.u32(0x44) != kEndOfChain || m_file.u32(0x48) != 0)
            problem("DIFAT sectors present");
        if ((m_file.size() % kSector) != 0)
            problem("file size not a whole number of sectors");
    }

    void readFat()
    {
        const std::uint32_t fatSectors = m_file.u32(0x2C);
        if (fatSectors == 0 || fatSectors > 109) {
            problem("FAT sector count " + std::to_string(fatSectors) + " outside 1..109");
            throw Truncated{"FAT"};
        }
        for (std::uint32_t i = 0; i < 109; ++i) {
            const std::uint32_t sector = m_file.u32(0x4C + 4 * i);
            if (i >= fatSectors) {
                if (sector != kFreeSector)
                    problem("unused header FAT entry not free");
                continue;
            }
            m_fatSectors.push_back(sector);
            const Reader fat(m_file.slice(sectorOffset(sector), kSector), "FAT");
            for (std::size_t e = 0; e < kSector / 4; ++e)
                m_fat.push_back(fat.u32(4 * e));
        }
        for (const std::uint32_t sector : m_fatSectors)
            if (sector >= m_fat.size() || m_fat[sector] != kFatSector)
                problem("FAT sector " + std::to_string(sector) + " not marked as a FAT sector");
        // Every sector that holds file data has a FAT entry, and none beyond.
        const std::size_t fileSectors = m_file.size() / kSector - 1;
        if (fileSectors > m_fat.size())
            problem("file has sectors the FAT does not cover");
        for (std::size_t s = fileSectors; s < m_fat.size(); ++s)
            if (m_fat[s] != kFreeSector)
                problem("FAT entry " + std::to_string(s) + " beyond the file is in use");
    }

    std::size_t sectorOffset(std::uint32_t sector) const { return (std::size_t(sector) + 1) * kSector; }

    // A chain of sectors; a loop, a free sector or one beyond the FAT is a problem.
    std::vector<std::uint32_t> chain(std::uint32_t start, const std::string &what)
    {
        std::vector<std::uint32_t> sectors;
        std::set<std::uint32_t> seen;
        for (std::uint32_t s = start; s != kEndOfChain;) {
            if (s >= m_fat.size() || !seen.insert(s).second || m_fat[s] == kFreeSector || m_fat[s] == kFatSector) {
                problem(what + " chain broken at sector " + std::to_string(s));
                throw Truncated{what};
            }
            sectors.push_back(s);
            s = m_fat[s];
        }
        return sectors;
    }

    static std::u16string entryName(const Reader &entry)
    {
        const std::uint16_t bytes = std::min<std::uint16_t>(entry.u16(64), 64);
        std::u16string name;
        for (std::size_t i = 0; i + 2 < bytes; i += 2) { // the length counts the terminating zero
            const char16_t c = char16_t(entry.u16(i));
            if (c == 0)
                break;
            name += c;
        }
        return name;
    }

    void checkUnusedEntry(const Reader &entry)
    {
        for (std::size_t at = 0; at < 128; ++at) {
            const bool link = at >= 68 && at < 80; // left, right, child
            if (link && (at - 68) % 4 == 0 && entry.u32(at) != kNoStream)
                problem("unused directory entry has a link");
            if (!link && entry.u8(at) != 0) {
                problem("unused directory entry is not zero");
                return;
            }
        }
    }

    Reader m_file;
    std::vector<std::string> &m_problems;
    std::vector<std::uint32_t> m_fat;
    std::vector<std::uint32_t> m_fatSectors;
};

// ===================================================================
// The BIFF8 records
// ===================================================================

struct Record {
    std::uint16_t id = 0;
    std::size_t at = 0; // the header's stream position
    std::span<const unsigned char> body;
};

namespace id {
constexpr std::uint16_t Bof = 0x0809, Eof = 0x000A, Font = 0x0031, Format = 0x041E, Xf = 0x00E0,
                        BoundSheet = 0x0085, ExtSst = 0x00FF, DateMode = 0x0022, Window1 = 0x003D,
                        Dimensions = 0x0200, ColInfo = 0x007D, Window2 = 0x023E, Label = 0x0204,
                        Blank = 0x0201, MulBlank = 0x00BE, MulRk = 0x00BD, Formula = 0x0006;
} // namespace id

class BiffWalker {
public:
    BiffWalker(std::span<const unsigned char> stream, WalkedWorkbook &book) : m_stream(stream), m_book(book) {}

    void walk()
    {
        readRecords();
        std::size_t next = globals();
        // Every substream after the globals is a sheet the sheet list names, in order.
        std::size_t sheetIndex = 0;
        while (next < m_records.size()) {
            if (sheetIndex >= m_boundSheets.size()) {
                problem("a substream at " + std::to_string(m_records[next].at) + " that no BOUNDSHEET names");
                return;
            }
            if (m_records[next].at != m_boundSheets[sheetIndex].second)
                problem("BOUNDSHEET of \"" + m_boundSheets[sheetIndex].first + "\" points at "
                        + std::to_string(m_boundSheets[sheetIndex].second) + ", its BOF is at "
                        + std::to_string(m_records[next].at));
            next = sheet(next, sheetIndex);
            ++sheetIndex;
        }
        if (sheetIndex < m_boundSheets.size())
            problem("BOUNDSHEET names more sheets than the stream holds");
        checkStrings();
        checkXfs();
    }

private:
    void problem(const std::string &text) { m_book.problems.push_back(text); }

    // Splits the stream into records up to the zero padding after the last EOF.
    void readRecords()
    {
        const Reader stream(m_stream, "record header");
        std::size_t at = 0;
        int depth = 0;
        while (at + 4 <= m_stream.size()) {
            const std::uint16_t recordId = stream.u16(at);
            const std::uint16_t size = stream.u16(at + 2);
            if (depth == 0 && recordId != id::Bof) {
                // Between substreams only zero padding may follow.
                if (std::any_of(m_stream.begin() + std::ptrdiff_t(at), m_stream.end(), [](unsigned char b) { return b; }))
                    problem("bytes after an EOF that are neither a BOF nor zero padding, at " + std::to_string(at));
                break;
            }
            if (size > 8224)
                problem("record " + hex(recordId) + " at " + std::to_string(at) + " has a body of "
                        + std::to_string(size) + " bytes, more than 8224");
            m_records.push_back(Record{recordId, at, Reader(m_stream, "record body").slice(at + 4, size)});
            m_book.recordIds.push_back(recordId);
            if (recordId == id::Bof)
                ++depth;
            if (recordId == id::Eof)
                --depth;
            at += 4 + size;
        }
        m_book.biffSize = at;
        if (depth != 0)
            problem("the stream ends inside a substream");
    }

    // The workbook globals; returns the index of the record after its EOF.
    std::size_t globals()
    {
        if (m_records.empty() || m_records[0].id != id::Bof) {
            problem("the stream does not start with a BOF");
            throw Truncated{"globals"};
        }
        const Reader bof(m_records[0].body);
        if (bof.u16(0) != 0x0600 || bof.u16(2) != 0x0005)
            problem("first BOF is not BIFF8 workbook globals");
        std::size_t i = 1;
        for (; i < m_records.size() && m_records[i].id != id::Eof; ++i) {
            const Record &r = m_records[i];
            const Reader body(r.body);
            switch (r.id) {
            case id::Font:
                ++m_book.fontCount;
                break;
            case id::Format:
                m_book.formats[body.u16(0)] = unicodeString(body, 2, true);
                break;
            case id::Xf:
                if (r.body.size() != 20)
                    problem("XF record of " + std::to_string(r.body.size()) + " bytes");
                m_book.xfs.push_back(WalkedXf{body.u16(0), body.u16(2), (body.u16(4) & 0x4) != 0});
                break;
            case id::BoundSheet: {
                std::string name;
                for (const char16_t c : unicodeString(body, 6, false))
                    name += char(c);
                m_boundSheets.emplace_back(name, body.u32(0));
                if (body.u8(5) != 0)
                    problem("sheet \"" + name + "\" is not a worksheet");
                break;
            }
            case id::DateMode:
                m_book.dateMode1904 = body.u16(0) != 0;
                break;
            case id::Window1:
                if (body.u16(10) != 0)
                    problem("WINDOW1 makes another sheet than the first active");
                break;
            case record::Sst:
                i = sharedStrings(i);
                break;
            case id::ExtSst:
                m_extSst = r;
                break;
            default:
                break;
            }
        }
        if (i == m_records.size())
            throw Truncated{"globals without EOF"};
        return i + 1;
    }

    // A string with a 16-bit (or 8-bit) length, an option byte and its characters, all in one record.
    static std::u16string unicodeString(const Reader &body, std::size_t at, bool longLength)
    {
        const std::size_t count = longLength ? body.u16(at) : body.u8(at);
        const std::size_t options = at + (longLength ? 2 : 1);
        const bool wide = body.u8(options) & 0x01;
        std::u16string text;
        for (std::size_t c = 0; c < count; ++c)
            text += wide ? char16_t(body.u16(options + 1 + 2 * c)) : char16_t(body.u8(options + 1 + c));
        return text;
    }

    // The SST and its CONTINUE records; returns the index of the last of them.
    std::size_t sharedStrings(std::size_t first)
    {
        std::vector<const Record *> pieces{&m_records[first]};
        std::size_t last = first;
        while (last + 1 < m_records.size() && m_records[last + 1].id == record::Continue) {
            pieces.push_back(&m_records[++last]);
            ++m_book.continueRecords;
        }
        const Reader head(pieces[0]->body);
        m_book.sstTotal = head.u32(0);
        m_book.sstUnique = head.u32(4);

        std::size_t piece = 0, offset = 8;
        auto left = [&] { return pieces[piece]->body.size() - offset; };
        auto nextPiece = [&] {
            if (++piece >= pieces.size())
                throw Truncated{"SST"};
            offset = 0;
        };
        auto streamPosition = [&] { return pieces[piece]->at + 4 + offset; };
        try {
            for (std::uint32_t s = 0; s < m_book.sstUnique; ++s) {
                if (left() == 0)
                    nextPiece(); // a string may start a CONTINUE, without an option byte
                m_stringStarts.emplace_back(streamPosition(), pieces[piece]->at);
                const Reader body(pieces[piece]->body, "SST");
                if (left() < 3)
                    problem("SST string " + std::to_string(s) + " has its header split across records");
                const std::uint16_t count = body.u16(offset);
                const std::uint8_t options = body.u8(offset + 2);
                offset += 3;
                std::size_t runs = 0, extension = 0;
                if (options & 0x08) { runs = body.u16(offset); offset += 2; }
                if (options & 0x04) { extension = body.u32(offset); offset += 4; }
                bool wide = options & 0x01;
                m_book.stringCompressed.push_back(!wide);
                std::u16string text;
                while (text.size() < count) {
                    if (left() == 0) {
                        nextPiece();
                        const std::uint8_t again = Reader(pieces[piece]->body, "SST").u8(0);
                        offset = 1;
                        wide = again & 0x01; // a continued string repeats its option byte
                    }
                    const Reader chunk(pieces[piece]->body, "SST");
                    if (wide && left() < 2) {
                        problem("SST character split across records");
                        throw Truncated{"SST"};
                    }
                    text += wide ? char16_t(chunk.u16(offset)) : char16_t(chunk.u8(offset));
                    offset += wide ? 2 : 1;
                }
                std::size_t skip = 4 * runs + extension; // formatting runs and extension, not ours
                while (skip > 0) {
                    if (left() == 0)
                        nextPiece();
                    const std::size_t step = std::min(skip, left());
                    offset += step;
                    skip -= step;
                }
                m_book.strings.push_back(std::move(text));
            }
        } catch (const Truncated &) {
            problem("SST holds fewer strings than its unique count " + std::to_string(m_book.sstUnique));
        }
        if (piece + 1 < pieces.size() || (piece < pieces.size() && left() != 0))
            problem("SST holds more than its unique count of strings");
        return last;
    }

    // One sheet substream from its BOF; returns the index after its EOF.
    std::size_t sheet(std::size_t first, std::size_t sheetIndex)
    {
        WalkedSheet sheet;
        sheet.name = m_boundSheets[sheetIndex].first;
        const Reader bof(m_records[first].body);
        if (bof.u16(0) != 0x0600 || bof.u16(2) != 0x0010)
            problem("sheet \"" + sheet.name + "\" does not start with a BIFF8 worksheet BOF");
        int windows = 0;
        std::optional<std::array<std::uint32_t, 4>> dimensions;
        std::size_t i = first + 1;
        for (; i < m_records.size() && m_records[i].id != id::Eof; ++i) {
            const Record &r = m_records[i];
            const Reader body(r.body);
            switch (r.id) {
            case id::Dimensions:
                dimensions = std::array<std::uint32_t, 4>{body.u32(0), body.u32(4), body.u16(8), body.u16(10)};
                break;
            case id::ColInfo:
                for (int c = body.u16(0); c <= body.u16(2) && c < 256; ++c)
                    sheet.columnWidths[c] = body.u16(4);
                break;
            case id::Window2:
                ++windows;
                sheet.window2Flags = body.u16(0);
                break;
            case record::LabelSst:
                ++m_labelSstCells;
                addCell(sheet, r, body, WalkedCell{CellKind::Text, stringAt(body.u32(6)), 0, 0, body.u16(4), r.id});
                break;
            case record::Number:
                addCell(sheet, r, body, WalkedCell{CellKind::Number, {}, body.f64(6), 0, body.u16(4), r.id});
                break;
            case record::Rk:
                addCell(sheet, r, body, WalkedCell{CellKind::Number, {}, decodeRk(body.u32(6)), 0, body.u16(4), r.id});
                break;
            case record::BoolErr:
                addCell(sheet, r, body,
                        WalkedCell{body.u8(7) ? CellKind::Error : CellKind::Boolean, {}, 0, body.u8(6), body.u16(4), r.id});
                break;
            case id::Label:
            case id::Blank:
            case id::MulBlank:
            case id::MulRk:
            case id::Formula:
                problem("cell record " + hex(r.id) + " the walker does not follow");
                break;
            default:
                break;
            }
        }
        if (windows != 1)
            problem("sheet \"" + sheet.name + "\" has " + std::to_string(windows) + " WINDOW2 records");
        const bool isFirst = sheetIndex == 0;
        const bool selectedAndActive = (sheet.window2Flags & 0x0600) == 0x0600;
        if (isFirst && !selectedAndActive)
            problem("the first sheet is not selected and active");
        if (!isFirst && (sheet.window2Flags & 0x0600) != 0)
            problem("sheet \"" + sheet.name + "\" is selected or active besides the first");
        checkDimensions(sheet, dimensions);
        m_book.sheets.push_back(std::move(sheet));
        if (i == m_records.size())
            throw Truncated{"sheet without EOF"};
        return i + 1;
    }

    static double decodeRk(std::uint32_t rk)
    {
        double value = (rk & 0x2) ? double(std::int32_t(rk) >> 2)
                                  : std::bit_cast<double>(std::uint64_t(rk & ~std::uint32_t(0x3)) << 32);
        if (rk & 0x1)
            value /= 100.0;
        return value;
    }

    std::u16string stringAt(std::uint32_t index)
    {
        if (index >= m_book.strings.size()) {
            problem("LABELSST names string " + std::to_string(index) + " of " + std::to_string(m_book.strings.size()));
            return {};
        }
        return m_book.strings[index];
    }

    void addCell(WalkedSheet &sheet, const Record &r, const Reader &body, WalkedCell cell)
    {
        const int row = body.u16(0), column = body.u16(2);
        if (!sheet.cells.empty() && sheet.cells.rbegin()->first >= std::make_pair(row, column))
            problem("cell " + std::to_string(row) + "," + std::to_string(column) + " at " + std::to_string(r.at)
                    + " comes after a cell further down or right");
        if (cell.xf >= m_book.xfs.size() || m_book.xfs[cell.xf].style)
            problem("cell " + std::to_string(row) + "," + std::to_string(column) + " names XF "
                    + std::to_string(cell.xf) + ", which is not a cell XF");
        if (!sheet.cells.emplace(std::make_pair(row, column), std::move(cell)).second)
            problem("cell " + std::to_string(row) + "," + std::to_string(column) + " written twice, again at "
                    + std::to_string(r.at));
    }

    void checkDimensions(const WalkedSheet &sheet, const std::optional<std::array<std::uint32_t, 4>> &dimensions)
    {
        if (!dimensions) {
            problem("sheet \"" + sheet.name + "\" has no DIMENSIONS");
            return;
        }
        std::array<std::uint32_t, 4> truth{0, 0, 0, 0};
        bool any = false;
        for (const auto &[place, cell] : sheet.cells) {
            const auto r = std::uint32_t(place.first), c = std::uint32_t(place.second);
            if (!any)
                truth = {r, r + 1, c, c + 1};
            any = true;
            truth[0] = std::min(truth[0], r);
            truth[1] = std::max(truth[1], r + 1);
            truth[2] = std::min(truth[2], c);
            truth[3] = std::max(truth[3], c + 1);
        }
        if (*dimensions != truth)
            problem("DIMENSIONS of sheet \"" + sheet.name + "\" say rows " + std::to_string((*dimensions)[0]) + ".."
                    + std::to_string((*dimensions)[1]) + " columns " + std::to_string((*dimensions)[2]) + ".."
                    + std::to_string((*dimensions)[3]) + ", the cells need " + std::to_string(truth[0]) + ".."
                    + std::to_string(truth[1]) + " " + std::to_string(truth[2]) + ".." + std::to_string(truth[3]));
    }

    void checkStrings()
    {
        if (m_book.sstTotal != m_labelSstCells)
            problem("SST total count " + std::to_string(m_book.sstTotal) + ", but " + std::to_string(m_labelSstCells)
                    + " text cells");
        if (!m_extSst) {
            problem("no EXTSST after the SST");
            return;
        }
        const Reader ext(m_extSst->body);
        const std::uint16_t perBucket = ext.u16(0);
        if (perBucket < 8) {
            problem("EXTSST buckets of fewer than 8 strings");
            return;
        }
        const std::size_t buckets = (m_stringStarts.size() + perBucket - 1) / perBucket;
        if (m_extSst->body.size() != 2 + 8 * buckets)
            problem("EXTSST has the wrong number of buckets");
        for (std::size_t b = 0; b < buckets && 2 + 8 * b + 8 <= m_extSst->body.size(); ++b) {
            const auto [position, recordStart] = m_stringStarts[b * perBucket];
            if (ext.u32(2 + 8 * b) != position || ext.u16(6 + 8 * b) != position - recordStart)
                problem("EXTSST bucket " + std::to_string(b) + " does not point at its string");
        }
    }

    void checkXfs()
    {
        if (m_book.xfs.size() < 16)
            problem("only " + std::to_string(m_book.xfs.size()) + " XF records, at least 16 needed");
        for (std::size_t x = 0; x < m_book.xfs.size(); ++x) {
            const WalkedXf &xf = m_book.xfs[x];
            if ((x < 15) != xf.style)
                problem("XF " + std::to_string(x) + (xf.style ? " is a style XF after the first 15" : " among the first 15 is not a style XF"));
            // Font index 4 does not exist: the fifth FONT record is index 5.
            const bool fontExists = xf.font != 4 && (xf.font < 4 ? xf.font < m_book.fontCount : xf.font <= m_book.fontCount);
            if (!fontExists)
                problem("XF " + std::to_string(x) + " names font " + std::to_string(xf.font) + ", which does not exist");
            if (xf.format >= 164 && !m_book.formats.count(xf.format))
                problem("XF " + std::to_string(x) + " names format " + std::to_string(xf.format) + ", which is not declared");
        }
    }

    std::span<const unsigned char> m_stream;
    WalkedWorkbook &m_book;
    std::vector<Record> m_records;
    std::vector<std::pair<std::string, std::size_t>> m_boundSheets; // name, BOF offset
    std::vector<std::pair<std::size_t, std::size_t>> m_stringStarts; // stream position, its record's start
    std::optional<Record> m_extSst;
    std::uint32_t m_labelSstCells = 0;
};

// The built-in number formats that are dates or times, by index.
bool builtInDateFormat(std::uint16_t format) { return (format >= 14 && format <= 22) || (format >= 45 && format <= 47); }

} // namespace

const WalkedCell *WalkedSheet::at(std::string_view a1) const
{
    std::size_t split = 0;
    int column = 0;
    while (split < a1.size() && a1[split] >= 'A' && a1[split] <= 'Z')
        column = column * 26 + (a1[split++] - 'A' + 1);
    const int row = std::stoi(std::string(a1.substr(split)));
    const auto found = cells.find({row - 1, column - 1});
    return found == cells.end() ? nullptr : &found->second;
}

const WalkedSheet *WalkedWorkbook::sheet(std::string_view name) const
{
    for (const WalkedSheet &s : sheets)
        if (s.name == name)
            return &s;
    return nullptr;
}

std::u16string WalkedWorkbook::formatOf(const WalkedCell &cell) const
{
    if (cell.xf >= xfs.size())
        return {};
    const std::uint16_t format = xfs[cell.xf].format;
    if (const auto found = formats.find(format); found != formats.end())
        return found->second;
    if (format == 0)
        return u"General";
    return builtInDateFormat(format) ? u"(built-in date format)" : u"(built-in format)";
}

WalkedWorkbook walkXls(std::span<const unsigned char> file)
{
    WalkedWorkbook book;
    book.fileSize = file.size();
    try {
        const std::vector<unsigned char> stream = CompoundFile(file, book.problems).workbookStream(book.streamSize);
        if (!stream.empty())
            BiffWalker(stream, book).walk();
    } catch (const Truncated &truncated) {
        book.problems.push_back("the walk stopped: " + truncated.where + " ends too early");
    }
    return book;
}

CompoundStream readWorkbookStream(std::span<const unsigned char> file)
{
    CompoundStream stream;
    try {
        stream.bytes = CompoundFile(file, stream.problems).workbookStream(stream.declaredSize);
    } catch (const Truncated &truncated) {
        stream.problems.push_back("the walk stopped: " + truncated.where + " ends too early");
    }
    return stream;
}

WalkedWorkbook walkXlsFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        WalkedWorkbook book;
        book.problems.push_back("cannot read " + path);
        return book;
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return walkXls(bytes);
}

} // namespace kestrane::xls
