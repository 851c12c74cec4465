# The programs that read our workbooks back, for the tests that use them:
# Debian's own python3 (the one with python3-xlrd) and LibreOffice.
find_program(KESTRANE_PYTHON3 NAMES python3 HINTS /usr/bin DOC "python3 with xlrd")
find_program(KESTRANE_SOFFICE NAMES soffice libreoffice DOC "LibreOffice, to read workbooks back")
if(NOT KESTRANE_PYTHON3)
  message(FATAL_ERROR "python3 is needed for the reader tests (make deps installs it)")
endif()
if(NOT KESTRANE_SOFFICE)
  # Left to fail at run time with a clear message rather than skip the tests.
  set(KESTRANE_SOFFICE soffice)
endif()
