find_package(Qt6 REQUIRED COMPONENTS Test)

# main() for the widget tests: the real window on Qt's offscreen platform.
add_library(kestrane_qtgtest_main STATIC QtTestMain.cpp)
target_link_libraries(kestrane_qtgtest_main PUBLIC Qt6::Widgets Qt6::Test GTest::gtest)

# A widget test: GoogleTest with a QApplication, registered with CTest.
function(kestrane_widget_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE kestrane_window kestrane_qtgtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

kestrane_widget_test(frmDataEntryLayoutTest SOURCES frmDataEntryLayoutTest.cpp)
# The same layout on high-density screens: at 1.5 and 2 device pixels to the
# logical pixel every caption and name still fits its box.
foreach(scale 1.5 2)
  gtest_discover_tests(frmDataEntryLayoutTest TEST_SUFFIX ".scale${scale}" DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=${scale}")
endforeach()
kestrane_widget_test(frmDataEntryAccessibilityTest SOURCES frmDataEntryAccessibilityTest.cpp)
kestrane_widget_test(frmDataEntryBehaviourTest SOURCES frmDataEntryBehaviourTest.cpp)
kestrane_widget_test(unload_exitTest SOURCES unload_exitTest.cpp)
kestrane_widget_test(CentringTest SOURCES CentringTest.cpp)
kestrane_widget_test(CommonDialogTest SOURCES CommonDialogTest.cpp)
kestrane_widget_test(ProgressBarTest SOURCES ProgressBarTest.cpp)

# Shows the window with seven long channel names, for the picture in docs/.
add_executable(WindowPicture WindowPicture.cpp)
target_link_libraries(WindowPicture PRIVATE kestrane_window)

# The ways the running program may be ended, each in its own process.
add_executable(WindowEndProbe WindowEndProbe.cpp)
target_link_libraries(WindowEndProbe PRIVATE kestrane_window)
foreach(way sigterm sigterm-in-dialog quit exit-command)
  add_test(NAME WindowEnd.${way} COMMAND WindowEndProbe ${way})
  set_tests_properties(WindowEnd.${way} PROPERTIES TIMEOUT 30)
endforeach()

# Under a real X server and window manager the test starts for itself.
add_executable(WindowX11Test WindowX11Test.cpp XSession.cpp)
target_link_libraries(WindowX11Test PRIVATE kestrane_window Qt6::Test GTest::gtest)
target_include_directories(WindowX11Test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(WindowX11Test PRIVATE KESTRANE_PROGRAM="$<TARGET_FILE:kestrane>")
add_dependencies(WindowX11Test kestrane)
add_test(NAME WindowX11Test COMMAND WindowX11Test)
set_tests_properties(WindowX11Test PROPERTIES TIMEOUT 120)

# The open and convert commands through every route, every outcome.
kestrane_widget_test(open_commandTest SOURCES open_commandTest.cpp)
target_link_libraries(open_commandTest PRIVATE kestrane_testdata)
kestrane_widget_test(convert_commandTest SOURCES convert_commandTest.cpp)
target_link_libraries(convert_commandTest PRIVATE kestrane_testdata kestrane_xlswalker)

# Every bad input through the real window: the prescribed message, nothing
# changed on disk, and the window still works. As root it mounts small and
# read-only file systems in a mount namespace of its own.
kestrane_widget_test(BadInputCatalogueTest SOURCES BadInputCatalogueTest.cpp)
target_link_libraries(BadInputCatalogueTest PRIVATE kestrane_testdata kestrane_xlswalker)

# A whole session in the real window: open, convert, unload, open, convert,
# exit. Run as it is here; `make valgrind` runs it under memcheck.
add_executable(WindowSession WindowSession.cpp)
target_link_libraries(WindowSession PRIVATE kestrane_window kestrane_testdata kestrane_xlswalker)
target_include_directories(WindowSession PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_test(NAME WindowSession COMMAND WindowSession)
set_tests_properties(WindowSession PROPERTIES TIMEOUT 60)
