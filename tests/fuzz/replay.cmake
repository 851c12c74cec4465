# The fuzz targets, built without libFuzzer, run over their seed corpora in
# every test run: the shapes each must handle stay handled, and the targets
# keep building with any compiler.
add_executable(dat_reader_replay fuzz/dat_reader_fuzz.cpp fuzz/replay_main.cpp)
target_link_libraries(dat_reader_replay PRIVATE kestrane_datfile)

add_executable(workbook_writer_replay fuzz/workbook_writer_fuzz.cpp fuzz/replay_main.cpp)
target_link_libraries(workbook_writer_replay PRIVATE kestrane_workbook kestrane_xlswalker)

set(fuzz_seeds ${CMAKE_CURRENT_BINARY_DIR}/fuzz-seeds)
add_test(NAME FuzzSeeds.written
  COMMAND ${KESTRANE_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/make_seeds.py ${fuzz_seeds}/dat_reader ${fuzz_seeds}/workbook_writer)
set_tests_properties(FuzzSeeds.written PROPERTIES FIXTURES_SETUP fuzz_seeds ENVIRONMENT PYTHONDONTWRITEBYTECODE=1)
add_test(NAME FuzzSeeds.readerReplay COMMAND dat_reader_replay ${fuzz_seeds}/dat_reader ${PROJECT_SOURCE_DIR}/examples/probe-sample.dat)
add_test(NAME FuzzSeeds.writerReplay COMMAND workbook_writer_replay ${fuzz_seeds}/workbook_writer)
set_tests_properties(FuzzSeeds.readerReplay FuzzSeeds.writerReplay PROPERTIES FIXTURES_REQUIRED fuzz_seeds TIMEOUT 120)
