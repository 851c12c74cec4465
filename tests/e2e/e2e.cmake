# End-to-end tests: the built program on a desktop of its own (Xvfb and
# openbox), driven only through real key presses, typing and clicks, with
# the workbooks it writes read back by xlrd and LibreOffice. Screenshots of
# each state are left in build/e2e-artefacts/.
set(e2e_artefacts ${PROJECT_BINARY_DIR}/e2e-artefacts)
foreach(suite convert refusals ending scaling)
  add_test(NAME e2e_${suite}
           COMMAND ${KESTRANE_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/${suite}_e2e.py
                   --program $<TARGET_FILE:kestrane>
                   --artefacts ${e2e_artefacts}/${suite}
                   --soffice ${KESTRANE_SOFFICE})
  set_tests_properties(e2e_${suite} PROPERTIES
                       TIMEOUT 300
                       LABELS e2e
                       ENVIRONMENT PYTHONDONTWRITEBYTECODE=1)
endforeach()
