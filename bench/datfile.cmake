# Reading the largest log the reader handles.
add_executable(dat_reader_bench dat_reader_bench.cpp)
target_link_libraries(dat_reader_bench PRIVATE kestrane_datfile kestrane_testdata benchmark::benchmark)
