# Generated logs laid out, saved and read back by real readers; every way a
# save ends. Debian's python3 is the one with python3-xlrd.
find_program(KESTRANE_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
if(WIN32)
  # Wine starts a Linux program but hands back neither its output nor its
  # end, so the test leaves its workbooks, each with the cells it must hold,
  # in a folder, and a step on the Linux side reads them back with xlrd.
  set(readback ${CMAKE_CURRENT_BINARY_DIR}/windows-workbooks)
  kestrane_gtest(WorkbookTest SOURCES WorkbookTest.cpp LIBS kestrane_datfile kestrane_workbook kestrane_testdata
    PROPERTIES FIXTURES_SETUP windows_workbooks)
  target_compile_definitions(WorkbookTest PRIVATE KESTRANE_READBACK_FOLDER="Z:${readback}")
  add_test(NAME WindowsWorkbooks.readBackByXlrd
    COMMAND ${KESTRANE_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/readers/compare_cells.py ${readback})
  set_tests_properties(WindowsWorkbooks.readBackByXlrd PROPERTIES FIXTURES_REQUIRED windows_workbooks)
  return()
endif()

# Our workbooks as real readers see them: xlrd (with the rules it forgives but
# the spreadsheet application refuses) and LibreOffice.
add_library(kestrane_xlswalker STATIC XlsWalker.cpp)
target_include_directories(kestrane_xlswalker PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kestrane_xlswalker PUBLIC kestrane_workbook)
target_compile_definitions(kestrane_xlswalker PRIVATE KESTRANE_PYTHON3="${KESTRANE_PYTHON3}"
  READ_CELLS_SCRIPT="${CMAKE_CURRENT_SOURCE_DIR}/readers/read_cells.py")

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
