# Real spreadsheet readers check the workbooks we write: xlrd and LibreOffice
# read each one back and every cell is compared with its .DAT file.

# Debian's own python3 first: it is the one with python3-xlrd and python3-xlwt.
find_program(KESTRANE_PYTHON3 NAMES python3 HINTS /usr/bin DOC "python3 with xlrd and xlwt")
find_program(KESTRANE_SOFFICE NAMES soffice libreoffice DOC "LibreOffice, to read workbooks back")
if(NOT KESTRANE_PYTHON3)
  message(FATAL_ERROR "python3 is needed for the reader tests (make deps installs it)")
endif()
if(NOT KESTRANE_SOFFICE)
  # Left to fail at run time with a clear message rather than skip the tests.
  set(KESTRANE_SOFFICE soffice)
endif()

set(readers_dir ${CMAKE_CURRENT_LIST_DIR})
set(readers_xlwt_converter ${KESTRANE_PYTHON3} ${PROJECT_SOURCE_DIR}/bench/xlwt_convert.py)

# The workbooks under test come from our own converter; the xlwt script stands
# in for it in a build without one.
if(TARGET kestrane-bench)
  set(readers_converter $<TARGET_FILE:kestrane-bench>)
else()
  set(readers_converter ${readers_xlwt_converter})
endif()

add_test(NAME readers_workbooks_read_back
         COMMAND ${KESTRANE_PYTHON3} ${readers_dir}/run_suite.py --soffice ${KESTRANE_SOFFICE}
                 -- ${readers_converter})

# The check itself must fail where a workbook is wrong; it is proved on
# workbooks made by the xlwt script, whatever converter is under test.
add_test(NAME readers_check_finds_planted_faults
         COMMAND ${KESTRANE_PYTHON3} ${readers_dir}/checker_self_test.py --soffice ${KESTRANE_SOFFICE}
                 -- ${readers_xlwt_converter})

set_tests_properties(readers_workbooks_read_back readers_check_finds_planted_faults PROPERTIES
                     TIMEOUT 600
                     LABELS readers
                     ENVIRONMENT PYTHONDONTWRITEBYTECODE=1)
