#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "DatGenerator.h"
#include "common/Failure.h"
#include "FailureOf.h"
#include "workbook/spreadsheet/Spreadsheet.h"

using namespace kestrane::spreadsheet;
using kestrane::Failure;
using kestrane::test::failureOf;

TEST(Workbooks, addGivesANewWorkbookWithTheThreeDefaultSheets)
{
    Application application;
    const auto book = application.Workbooks().Add();
    std::vector<std::string> names;
    for (const Worksheet *sheet : book->sheets())
        names.push_back(sheet->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Sheet1", "Sheet2", "Sheet3"}));
}

TEST(Workbooks, eachWorkbookHasCellsOfItsOwn)
{
    Application application;
    const auto first = application.Workbooks().Add();
    const auto second = application.Workbooks().Add();
    first->Worksheets("Sheet1").Range("A1").setValue(1.0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(second->Worksheets("Sheet1").Range("A1").Value()));
}

TEST(Workbooks, countsTheWorkbooksStillOpen)
{
    Application application;
    auto first = application.Workbooks().Add();
    auto second = application.Workbooks().Add();
    EXPECT_EQ(application.Workbooks().Count(), 2);
    first->Close();
    EXPECT_EQ(application.Workbooks().Count(), 1);
    second.reset();
    EXPECT_EQ(application.Workbooks().Count(), 0);
}

namespace {

struct SheetLookup {
    const char *asked;
    const char *found; // nullptr: "Subscript out of range"
};

} // namespace

class WorksheetsLookup : public testing::TestWithParam<SheetLookup> {};

TEST_P(WorksheetsLookup, matchesTheNameWithoutRegardToCase)
{
    Workbook book;
    const SheetLookup &c = GetParam();
    if (c.found) {
        EXPECT_EQ(book.Worksheets(c.asked).Name(), c.found);
        return;
    }
    try {
        book.Worksheets(c.asked);
        FAIL() << "found a sheet for " << c.asked;
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), 9);
        EXPECT_EQ(failure.description(), "Subscript out of range");
    }
}

INSTANTIATE_TEST_SUITE_P(Names, WorksheetsLookup,
                         testing::Values(SheetLookup{"sheet1", "Sheet1"}, SheetLookup{"Sheet1", "Sheet1"},
                                         SheetLookup{"SHEET2", "Sheet2"}, SheetLookup{"sHeEt3", "Sheet3"},
                                         SheetLookup{"Sheet4", nullptr}, SheetLookup{"", nullptr},
                                         SheetLookup{"Sheet1 ", nullptr}, SheetLookup{"Sheet", nullptr},
                                         SheetLookup{"Sheet01", nullptr}));

TEST(Workbook, closingTwiceIsHarmlessAndEverythingAfterwardsFails)
{
    Workbook book;
    Worksheet &sheet = book.Worksheets("sheet1");
    Range cell = sheet.Range("A7");
    cell.setValue(5.0);
    book.Close();
    book.Close();
    EXPECT_FALSE(book.isOpen());
    EXPECT_EQ(failureOf([&] { book.Worksheets("sheet1"); }), 1004);
    EXPECT_EQ(failureOf([&] { cell.Value(); }), 1004);
    EXPECT_EQ(failureOf([&] { cell.setValue(1.0); }), 1004);
    EXPECT_EQ(failureOf([&] { cell.Offset(1, 0); }), 1004);
    EXPECT_EQ(failureOf([&] { sheet.Range("A1"); }), 1004);
    EXPECT_EQ(failureOf([&] { sheet.Columns("A").AutoFit(); }), 1004);
}

TEST(Workbook, closedWithoutSavingWritesNothing)
{
    const std::string folder = kestrane::testdata::freshFolder("workbook-close");
    {
        Workbook book;
        book.Worksheets("Sheet1").Range("A1").setValue(u"unsaved");
        book.Close();
        EXPECT_EQ(failureOf([&] { book.SaveAs(folder + "/after-close.xls"); }), 1004);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST(Workbook, aFailedSaveLeavesTheWorkbookOpenToSaveElsewhere)
{
    const std::string folder = kestrane::testdata::freshFolder("workbook-retry");
    Workbook book;
    book.Worksheets("Sheet1").Range("A1").setValue(u"kept");
    EXPECT_EQ(failureOf([&] { book.SaveAs(folder + "/missing/out.xls"); }), 76);
    EXPECT_TRUE(book.isOpen());
    book.SaveAs(folder + "/out.xls");
    EXPECT_TRUE(std::filesystem::is_regular_file(folder + "/out.xls"));
}
