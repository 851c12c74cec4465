# Our workbooks as real readers see them: xlrd (with the rules it forgives but
# the spreadsheet application refuses) and LibreOffice. Debian's python3 is the
# one with python3-xlrd.
find_program(KESTRANE_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
add_library(kestrane_xlswalker STATIC XlsWalker.cpp)
target_include_directories(kestrane_xlswalker PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kestrane_xlswalker PUBLIC kestrane_workbook)
target_compile_definitions(kestrane_xlswalker PRIVATE KESTRANE_PYTHON3="${KESTRANE_PYTHON3}"
  READ_CELLS_SCRIPT="${CMAKE_CURRENT_SOURCE_DIR}/readers/read_cells.py")

# Generated logs laid out, saved and read back by real readers; every way a
# save ends.
kestrane_gtest(WorkbookTest SOURCES WorkbookTest.cpp
  LIBS kestrane_datfile kestrane_workbook kestrane_xlswalker kestrane_testdata)
# The save's fchmod answers as the test says, as on file systems without permission bits.
target_link_options(WorkbookTest PRIVATE -Wl,--wrap=fchmod)

# kestrane-bench keeps its contract with the benchmark scripts: a failure
# exits non-zero with the failure's description on stderr.
add_test(NAME KestraneBench.failureExitsNonZeroWithItsDescription
  COMMAND sh -c "message=$(\"$0\" /nonexistent/in.DAT \"$1\" 2>&1 >/dev/null); status=$?; \
test $status -ne 0 && test \"$message\" = 'kestrane-bench: Path not found (failure 76)'"
    $<TARGET_FILE:kestrane-bench> ${CMAKE_CURRENT_BINARY_DIR}/never-written.xls)
