# libFuzzer targets (clang only): make fuzz builds and runs them.
add_executable(dat_reader_fuzz fuzz/dat_reader_fuzz.cpp)
target_link_libraries(dat_reader_fuzz PRIVATE kestrane_datfile)
target_link_options(dat_reader_fuzz PRIVATE -fsanitize=fuzzer)

add_executable(workbook_writer_fuzz fuzz/workbook_writer_fuzz.cpp)
target_link_libraries(workbook_writer_fuzz PRIVATE kestrane_datfile kestrane_workbook)
target_link_options(workbook_writer_fuzz PRIVATE -fsanitize=fuzzer)
