find_package(Qt6 REQUIRED COMPONENTS Test)

# A widget test: GoogleTest on the real window (WindowFixture starts the
# application on Qt's offscreen platform, on Windows its own under Wine on
# the test run's X display), registered with CTest. Under Wine one window of
# all the tests has the focus, and the tests check it: they run one at a time.
if(WIN32)
  set(window_test_lock RESOURCE_LOCK wine_focus)
endif()
# What the window tests do differently on each platform.
add_library(kestrane_windowsystem STATIC)
kestrane_platform_sources(kestrane_windowsystem WindowSystem)
target_link_libraries(kestrane_windowsystem PUBLIC kestrane_testdata Qt6::Widgets GTest::gtest)
function(kestrane_widget_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE kestrane_window kestrane_testdata kestrane_windowsystem Qt6::Test GTest::gtest
    GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS widget ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${window_test_lock})
endfunction()

# The window: controls, shortcuts, focus, centring, minimum size, close guard.
kestrane_widget_test(frmDataEntryTest SOURCES frmDataEntryTest.cpp)
# The same window on high-density screens: every caption still fits its box.
# One variable only: the discovered tests keep just the first item of a list
# (the fixture chooses the offscreen platform itself).
if(WIN32)
  set(scale_variable KESTRANE_SCALE_FACTOR) # Wine passes no QT_ variable on
else()
  set(scale_variable QT_SCALE_FACTOR)
endif()
foreach(scale 1.25 1.5 2)
  gtest_discover_tests(frmDataEntryTest TEST_SUFFIX ".scale${scale}" DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS widget ENVIRONMENT "${scale_variable}=${scale}" ${window_test_lock})
endforeach()
# The four commands: every outcome from every state, bad input included.
kestrane_widget_test(CommandsTest SOURCES CommandsTest.cpp)

# A whole session in the real window: logs of several lengths opened, converted
# with the progress bar following, unloaded; then exit.
# Run as it is here; `make valgrind` runs it under memcheck.
add_executable(WindowSession WindowSession.cpp)
target_link_libraries(WindowSession PRIVATE kestrane_window kestrane_testdata kestrane_windowsystem Qt6::Test
  GTest::gtest GTest::gtest_main)
target_include_directories(WindowSession PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
add_test(NAME WindowSession COMMAND WindowSession)
set_tests_properties(WindowSession PROPERTIES TIMEOUT 120 LABELS widget ${window_test_lock})
