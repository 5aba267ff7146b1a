# Part of the ordinary test suite (included from tests/CMakeLists.txt): the receive fuzz target
# built with the ordinary compiler runs its seeds once, and the seeds are checked to be what
# make_receive_seeds.py writes from the target's lists. Reaching every exchange is checked by
# scripts/fuzz-coverage.sh, which needs clang.
set(fuzz_dir ${CMAKE_CURRENT_SOURCE_DIR}/fuzz)
add_executable(fuzz_receive_replay ${fuzz_dir}/replay.cpp ${fuzz_dir}/fuzz_receive.cpp)
target_link_libraries(fuzz_receive_replay PRIVATE velkor_link velkor_linkwords Qt6::Core)
target_include_directories(fuzz_receive_replay PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_options(fuzz_receive_replay PRIVATE ${velkor_test_optimization})
add_test(NAME fuzz/receive_seeds COMMAND fuzz_receive_replay ${fuzz_dir}/seeds-receive)
set_tests_properties(fuzz/receive_seeds PROPERTIES TIMEOUT 120)

find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND)
  add_test(NAME fuzz/receive_seeds_current COMMAND ${Python3_EXECUTABLE} ${fuzz_dir}/make_receive_seeds.py --check)
endif()
