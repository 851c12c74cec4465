# The Windows program itself and its packages, under Wine. Included by the
# Windows build after Source/resources/WindowsPackage.cmake. Each Wine test
# of its own desktop has a prefix of its own (Wine draws every window of a
# prefix on the display its first program found) and runs alone.
set(windows_tests ${CMAKE_CURRENT_LIST_DIR})
find_program(KESTRANE_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)

# What Windows reads from kestrane.exe: its imports, icon and version.
add_test(NAME windows_exe COMMAND sh ${windows_tests}/check_exe.sh
         $<TARGET_FILE:kestrane> ${KESTRANE_WINDOWS_VERSION} ${KESTRANE_PUBLISHER})
set_tests_properties(windows_exe PROPERTIES LABELS windows)

# The road of one file on a desktop of its own (Xvfb and openbox), through
# the real dialogs into a folder with a non-ASCII name, read back by xlrd;
# the close guard, a file replaced, a task manager's request to end.
add_test(NAME windows_e2e
         COMMAND ${KESTRANE_PYTHON3} ${windows_tests}/../e2e/e2e.py --wine ${KESTRANE_WINE_RUNNER}
         $<TARGET_FILE:kestrane>)
set_tests_properties(windows_e2e PROPERTIES TIMEOUT 300 LABELS e2e RUN_SERIAL ON
  ENVIRONMENT KESTRANE_WINEPREFIX=${PROJECT_BINARY_DIR}/wine-e2e)

# The build's signing step with a throwaway certificate, the signature
# verified, then the signed installer's round trip; the check compares the
# whole prefix before and after.
add_test(NAME windows_msi_roundtrip COMMAND sh ${windows_tests}/msi_roundtrip.sh ${KESTRANE_SIGN_SCRIPT}
         ${KESTRANE_MSI} ${KESTRANE_WINDOWS_VERSION} ${KESTRANE_PUBLISHER})
set_tests_properties(windows_msi_roundtrip PROPERTIES TIMEOUT 300 RUN_SERIAL ON LABELS windows
  ENVIRONMENT KESTRANE_WINEPREFIX=${PROJECT_BINARY_DIR}/wine-msi)
