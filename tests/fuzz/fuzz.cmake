# libFuzzer targets (clang only): make fuzz builds and runs them.
add_executable(dat_reader_fuzz fuzz/dat_reader_fuzz.cpp)
target_link_libraries(dat_reader_fuzz PRIVATE kestrane_datfile)
target_link_options(dat_reader_fuzz PRIVATE -fsanitize=fuzzer)

# The writer's output is read back by the same strict walker the tests use.
add_library(kestrane_xlswalker STATIC XlsWalker.cpp)
target_include_directories(kestrane_xlswalker PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
# The walker only checks; its branches are no guide to new writer inputs and
# tracing them would cost most of each run.
target_compile_options(kestrane_xlswalker PRIVATE -fno-sanitize=fuzzer-no-link)

add_executable(workbook_writer_fuzz fuzz/workbook_writer_fuzz.cpp)
target_link_libraries(workbook_writer_fuzz PRIVATE kestrane_workbook kestrane_xlswalker)
target_link_options(workbook_writer_fuzz PRIVATE -fsanitize=fuzzer)
