# The built program on a desktop of its own (Xvfb and openbox), driven by real
# key presses, its workbook read back by xlrd.
find_program(KESTRANE_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
add_test(NAME e2e COMMAND ${KESTRANE_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/e2e.py $<TARGET_FILE:kestrane> ${KESTRANE_SOFFICE})
set_tests_properties(e2e PROPERTIES TIMEOUT 300 LABELS e2e)
