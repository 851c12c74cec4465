# Reads our .xls files back as a strict reader would and checks the rules
# lenient readers forgive; a library so other checks (a fuzz target) can use it.
add_library(kestrane_xlswalker STATIC XlsWalker.cpp)
target_include_directories(kestrane_xlswalker PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

kestrane_gtest(XlsWalkerTest SOURCES XlsWalkerTest.cpp LIBS kestrane_workbook kestrane_xlswalker)

# The object model: dates, addresses, cells, workbooks, column fitting.
kestrane_gtest(SpreadsheetModelTest
  SOURCES DateTimeTest.cpp CellAddressTest.cpp WorksheetTest.cpp WorkbookTest.cpp AutoFitTest.cpp
  LIBS kestrane_workbook kestrane_testdata)

# The .xls writer: shared strings, numbers, dates, the stream's structure.
kestrane_gtest(Biff8WriterTest SOURCES Biff8WriterTest.cpp LIBS kestrane_workbook kestrane_xlswalker)
