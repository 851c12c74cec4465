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
kestrane_widget_test(frmDataEntryBehaviourTest SOURCES frmDataEntryBehaviourTest.cpp)
kestrane_widget_test(unload_exitTest SOURCES unload_exitTest.cpp)
kestrane_widget_test(CentringTest SOURCES CentringTest.cpp)
kestrane_widget_test(CommonDialogTest SOURCES CommonDialogTest.cpp)
kestrane_widget_test(ProgressBarTest SOURCES ProgressBarTest.cpp)

# Shows the window with seven long channel names, for the picture in docs/.
add_executable(WindowPicture WindowPicture.cpp)
target_link_libraries(WindowPicture PRIVATE kestrane_window)
