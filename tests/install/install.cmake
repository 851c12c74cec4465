# `cmake --install` into a scratch DESTDIR: the program, the desktop entry and
# the icon theme land where a desktop looks for them.
add_test(NAME install_into_destdir
         COMMAND ${KESTRANE_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/check_install.py
                 --cmake ${CMAKE_COMMAND} --build ${PROJECT_BINARY_DIR}
                 --prefix ${CMAKE_INSTALL_PREFIX} --program $<TARGET_FILE:kestrane>)
set_tests_properties(install_into_destdir PROPERTIES TIMEOUT 120 ENVIRONMENT PYTHONDONTWRITEBYTECODE=1)

# The icon theme's PNG files and the renderer that makes them.
kestrane_widget_test(render_iconTest SOURCES install/render_iconTest.cpp)
target_compile_definitions(render_iconTest PRIVATE
  KESTRANE_RENDER_ICON="$<TARGET_FILE:kestrane_render_icon>"
  KESTRANE_ICON_DIR="$<TARGET_PROPERTY:kestrane_icons,KESTRANE_ICON_DIR>")
add_dependencies(render_iconTest kestrane_icons)
