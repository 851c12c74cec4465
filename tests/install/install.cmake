# `cmake --install` into a scratch DESTDIR: the program, the desktop entry and
# the icon theme land where a desktop looks for them.
add_test(NAME install_into_destdir
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/check_install.sh ${CMAKE_COMMAND} ${PROJECT_BINARY_DIR} ${CMAKE_INSTALL_PREFIX})
set_tests_properties(install_into_destdir PROPERTIES TIMEOUT 120 LABELS package)
