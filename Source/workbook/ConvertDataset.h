#pragma once

#include <filesystem>
#include <functional>

#include "datfile/Dataset.h"
#include "workbook/WorkbookLayout.h"
#include "workbook/spreadsheet/Application.h"

namespace kestrane {

// The road of every conversion from a loaded dataset to a saved workbook: a
// new workbook of `application`, the layout written into its "sheet1" as
// converted at `conversionTime` (the hooks show its progress), then the path
// that `nameOnceLaidOut` gives for the whole workbook, the save there, and the
// close. The name is asked for only once the layout is complete: the convert
// command asks the operator here, and a cancel thrown from it, like any
// failure on the way, drops the workbook unsaved and leaves every file as it
// was.
void convertDataset(spreadsheet::Application &application, Dataset &dataset,
                    const spreadsheet::DateTime &conversionTime,
                    const std::function<std::filesystem::path(spreadsheet::Workbook &)> &nameOnceLaidOut,
                    const LayoutHooks &hooks = {});

} // namespace kestrane
