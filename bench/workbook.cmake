# kestrane-bench IN.DAT OUT.xls [--repeat N]: one conversion through the
# production code, timed stage by stage. The benchmark scripts look for it at
# the top of the build folder: build/kestrane-bench.
add_executable(kestrane-bench kestrane-bench.cpp)
target_link_libraries(kestrane-bench PRIVATE kestrane_workbook)
set_target_properties(kestrane-bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})

# durable-copy IN OUT: a copy saved as durably as a workbook is, converting
# nothing: the floor the comparison with xlwt measures Kestrane against.
add_executable(durable-copy durable_copy.cpp)
set_target_properties(durable-copy PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
