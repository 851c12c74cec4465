# The Windows packages' own checks: what Windows reads from kestrane.exe, and
# the installer's round trip under Wine. Included by the Windows build after
# Source/resources/WindowsPackage.cmake.
set(windows_tests ${CMAKE_CURRENT_LIST_DIR})

add_test(NAME windows_exe COMMAND sh ${windows_tests}/check_exe.sh
         $<TARGET_FILE:kestrane> ${KESTRANE_WINDOWS_VERSION} ${KESTRANE_PUBLISHER})

# In a prefix of its own: Wine draws every window of a prefix on the display
# its first program found, and the check compares the whole machine before
# and after.
add_test(NAME windows_msi_roundtrip COMMAND sh ${windows_tests}/msi_roundtrip.sh
         ${KESTRANE_MSI} ${KESTRANE_WINDOWS_VERSION} ${KESTRANE_PUBLISHER})
set_tests_properties(windows_msi_roundtrip PROPERTIES
  ENVIRONMENT KESTRANE_WINEPREFIX=${PROJECT_BINARY_DIR}/wine-msi
  TIMEOUT 300)
