# The open and convert commands on the largest loadable file, dialogs answered at once.
add_executable(window_commands_bench window_commands_bench.cpp)
target_link_libraries(window_commands_bench PRIVATE kestrane_window kestrane_testdata benchmark::benchmark)
