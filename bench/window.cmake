# The window's progress bar under a read of the largest loadable file.
add_executable(ProgressBarBench ProgressBarBench.cpp)
target_link_libraries(ProgressBarBench PRIVATE kestrane_window benchmark::benchmark)
