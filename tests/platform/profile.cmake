# The settings-file functions of the POSIX back ends (the Windows ones are compared with them by
# the black-box cross-check).
if(NOT ZEPHLORA_WIN32)
  zephlora_test(profile_tests
    ${CMAKE_CURRENT_SOURCE_DIR}/profile_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/profile_fuzz_test.cpp)
endif()

if(NOT ZEPHLORA_WIN32 AND ZEPHLORA_BENCHMARKS)
  add_executable(profile_bench ${CMAKE_CURRENT_SOURCE_DIR}/profile_bench.cpp)
  target_include_directories(profile_bench PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(profile_bench PRIVATE zephlora_core zephlora_platform_scripted benchmark::benchmark)
  add_test(NAME profile_bench_smoke COMMAND profile_bench --benchmark_min_time=0.01
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  # The memory bound is checked on every run (a benchmark's error leaves its exit code at 0).
  set_tests_properties(profile_bench_smoke PROPERTIES FAIL_REGULAR_EXPRESSION "ERROR OCCURRED" LABELS bench)
endif()
