# Generated logs laid out, saved and read back by real readers; every way a
# save ends. Debian's python3 is the one with python3-xlrd.
find_program(KESTRANE_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
# Each workbook is left with the cells it must hold in a folder, and a step
# after the tests reads them back with xlrd (with the rules it forgives but
# the spreadsheet application refuses) and with LibreOffice. On Windows that
# step runs on the Linux side: Wine starts a Linux program but hands back
# neither its output nor its end.
set(readback ${CMAKE_CURRENT_BINARY_DIR}/workbooks)
kestrane_gtest(WorkbookTest SOURCES WorkbookTest.cpp LIBS kestrane_datfile kestrane_workbook kestrane_testdata
  PROPERTIES FIXTURES_SETUP workbooks ENVIRONMENT TZ=ACST-9:30)
if(WIN32)
  target_compile_definitions(WorkbookTest PRIVATE KESTRANE_READBACK_FOLDER="Z:${readback}")
else()
  target_compile_definitions(WorkbookTest PRIVATE KESTRANE_READBACK_FOLDER="${readback}")
endif()
set(compare_cells ${KESTRANE_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/readers/compare_cells.py)
add_test(NAME Workbooks.readBackByXlrd COMMAND ${compare_cells} xlrd ${readback})
add_test(NAME Workbooks.readBackByLibreOffice COMMAND ${compare_cells} libreoffice ${readback} three special empty negative)
set_tests_properties(Workbooks.readBackByXlrd Workbooks.readBackByLibreOffice
  PROPERTIES FIXTURES_REQUIRED workbooks LABELS readers)
set_tests_properties(Workbooks.readBackByLibreOffice PROPERTIES TIMEOUT 600)
if(WIN32)
  return()
endif()

# kestrane-bench keeps its contract with the benchmark scripts: a failure
# exits non-zero with the failure's description on stderr.
add_test(NAME KestraneBench.failureExitsNonZeroWithItsDescription
  COMMAND sh -c "message=$(\"$0\" /nonexistent/in.DAT \"$1\" 2>&1 >/dev/null); status=$?; \
test $status -ne 0 && test \"$message\" = 'kestrane-bench: Path not found (failure 76)'"
    $<TARGET_FILE:kestrane-bench> ${CMAKE_CURRENT_BINARY_DIR}/never-written.xls)
set_tests_properties(KestraneBench.failureExitsNonZeroWithItsDescription PROPERTIES LABELS unit)
