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

# The compound-file container.
kestrane_gtest(CompoundFileTest SOURCES CompoundFileTest.cpp LIBS kestrane_workbook kestrane_xlswalker)

# Saving: the whole file or nothing, with a failure for every refusal.
kestrane_gtest(AtomicSaveTest SOURCES AtomicSaveTest.cpp LIBS kestrane_workbook kestrane_testdata)

# The workbook layout, cell by cell.
kestrane_gtest(WorkbookLayoutTest SOURCES WorkbookLayoutTest.cpp
  LIBS kestrane_workbook kestrane_xlswalker kestrane_testdata)

# A real reader reads back what the writer finds hardest. Debian's xlrd is
# installed for the system's python3.
find_program(KESTRANE_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
kestrane_gtest(XlrdReadBackTest SOURCES XlrdReadBackTest.cpp LIBS kestrane_workbook kestrane_testdata)
target_compile_definitions(XlrdReadBackTest PRIVATE
  KESTRANE_PYTHON3="${KESTRANE_PYTHON3}"
  XLRD_DUMP_SCRIPT="${CMAKE_CURRENT_SOURCE_DIR}/XlrdDump.py")

# kestrane-bench keeps its contract with the reader checks: a failure exits
# non-zero with the failure's description on stderr.
add_test(NAME KestraneBench.failureExitsNonZeroWithItsDescription
  COMMAND sh -c "message=$(\"$0\" /nonexistent/in.DAT \"$1\" 2>&1 >/dev/null); status=$?; \
test $status -ne 0 && test \"$message\" = 'kestrane-bench: Path not found (failure 76)'"
    $<TARGET_FILE:kestrane-bench> ${CMAKE_CURRENT_BINARY_DIR}/never-written.xls)
