# The built program on a desktop of its own (Xvfb and openbox), driven by real
# key presses, its workbook read back by xlrd.
find_program(KESTRANE_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
add_test(NAME e2e COMMAND ${KESTRANE_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/e2e.py $<TARGET_FILE:kestrane> ${KESTRANE_SOFFICE})
# Alone: with both cores loaded (the LibreOffice read-back) its typed path has gone astray.
set_tests_properties(e2e PROPERTIES TIMEOUT 300 LABELS e2e RUN_SERIAL ON)
# Started where no desktop can be reached, the program says so in one line,
# with the way to run it under a virtual one, and ends with status 1: none of
# the toolkit's messages about platform plugins.
add_test(NAME kestrane.withoutDesktopSaysSoInOneLine
  COMMAND sh -c "message=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \"$0\" 2>&1); status=$?; \
test $status -eq 1 && test \"$message\" = \"Kestrane needs a graphical desktop: run it under a virtual one with 'xvfb-run -a $0'.\""
    $<TARGET_FILE:kestrane>)
set_tests_properties(kestrane.withoutDesktopSaysSoInOneLine PROPERTIES LABELS e2e)
