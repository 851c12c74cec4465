#include "workbook/WorkbookLayout.h"

#include <charconv>
#include <cstdint>
#include <string>

#include "common/Failure.h"
#include "workbook/spreadsheet/Range.h"

namespace kestrane {

namespace {

// The title block's texts, spelt as the workbook has always shown them.
constexpr std::u16string_view kTitle = u"Periodic Data Import";
constexpr std::u16string_view kIntervalLabel = u"Logging Time Inteval (s) =";
constexpr std::u16string_view kTimeHeading = u"Time Increment (s)";

constexpr int kHeaderRow = 5;
constexpr int kFirstDataRow = 7;

// The A1 address of channel k's column (B for channel 1) in a sheet row.
std::string channelCell(int channel, std::int64_t row)
{
    char text[24] = {char('A' + channel)};
    const auto end = std::to_chars(text + 1, text + sizeof text, row).ptr;
    return std::string(text, end);
}

// The value of channel (1..7) at the dataset's pointIndex. A slot beyond the
// array is "Subscript out of range", as the array bound says.
ChannelSlot slotAt(const Dataset &dataset, int channel)
{
    const auto &values = dataset.channelValues[std::size_t(channel - 1)];
    if (dataset.pointIndex < 0 || std::size_t(dataset.pointIndex) >= values.size())
        throw Failure(SubscriptOutOfRange);
    return values[std::size_t(dataset.pointIndex)];
}

} // namespace

void writeLayout(Dataset &dataset, spreadsheet::Worksheet &sheet, const spreadsheet::DateTime &conversionTime,
                 const LayoutHooks &hooks)
{
    const std::int16_t interval = dataset.timeSettings[0];

    // The title block, then column A fitted to it.
    sheet.Range("A1").setValue(kTitle);
    sheet.Range("A2").setValue(conversionTime);
    sheet.Range("A3").setValue(kIntervalLabel);
    sheet.Range("B3").setValue(interval);
    sheet.Range("A5").setValue(kTimeHeading);
    sheet.Columns("A").AutoFit();

    // The header row: all 20 characters of each name, blanks and all.
    for (int channel = 1; channel <= Dataset::ChannelCount; ++channel)
        sheet.Range(channelCell(channel, kHeaderRow))
            .setValue(std::u16string_view(dataset.channelNames[std::size_t(channel - 1)].text()));
    sheet.Columns("B:H").AutoFit();
    if (hooks.headerWritten)
        hooks.headerWritten();

    // The channel columns, one whole column after another. Each value is the
    // stored single widened to double, with no detour through decimal; an
    // empty slot leaves its cell empty.
    // The column's address is read once; its cells are then reached by row.
    for (int channel = 1; channel <= Dataset::ChannelCount; ++channel) {
        const int column = sheet.Range(channelCell(channel, kFirstDataRow)).Column();
        for (dataset.pointIndex = 0; dataset.pointIndex < dataset.pointCount; ++dataset.pointIndex) {
            spreadsheet::Range cell = sheet.Cells(kFirstDataRow + dataset.pointIndex, column);
            if (const ChannelSlot slot = slotAt(dataset, channel))
                cell.setValue(double(*slot));
            else
                cell.ClearContents();
        }
        if (hooks.columnWritten)
            hooks.columnWritten(channel);
    }

    // The time column: A7 holds the interval, each cell below the one above
    // plus the interval, until there is one time cell per data point. A7 is
    // written before the count is looked at, so a dataset without points
    // still gets it, and nothing more.
    spreadsheet::Range cell = sheet.Range("A7");
    cell.setValue(interval);
    dataset.pointIndex = 0;
    while (std::int64_t(dataset.pointIndex) < std::int64_t(dataset.pointCount) - 1) {
        const spreadsheet::Range previous = cell;
        cell = cell.Offset(1, 0);
        cell.setValue(spreadsheet::numberOf(previous.Value()) + double(interval));
        ++dataset.pointIndex;
    }
}

} // namespace kestrane
