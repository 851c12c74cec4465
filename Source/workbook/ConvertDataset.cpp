#include "workbook/ConvertDataset.h"

namespace kestrane {

void convertDataset(spreadsheet::Application &application, Dataset &dataset,
                    const spreadsheet::DateTime &conversionTime,
                    const std::function<std::filesystem::path(spreadsheet::Workbook &)> &nameOnceLaidOut,
                    const LayoutHooks &hooks)
{
    // Closed as it goes, saved or not.
    const std::unique_ptr<spreadsheet::Workbook> workbook = application.Workbooks().Add();
    writeLayout(dataset, workbook->Worksheets("sheet1"), conversionTime, hooks);
    workbook->SaveAs(nameOnceLaidOut(*workbook));
    workbook->Close();
}

} // namespace kestrane
