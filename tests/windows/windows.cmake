# The Windows program itself under Wine, on a desktop of its own (Xvfb and
# openbox): the road of one file through the real dialogs into a folder with
# a non-ASCII name, read back by xlrd, and the close guard.
find_program(KESTRANE_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
add_test(NAME e2e_wine
         COMMAND ${KESTRANE_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/e2e_wine.py ${KESTRANE_WINE_RUNNER} $<TARGET_FILE:kestrane>)
set_tests_properties(e2e_wine PROPERTIES TIMEOUT 300 LABELS e2e ENVIRONMENT "KESTRANE_WINEPREFIX=${KESTRANE_WINEPREFIX}")
