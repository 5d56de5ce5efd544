# The software raster: GDI's block-copy rules checked on their own, and under Wine the same
# labelled scenes (and whole engine frames) drawn with real GDI and compared byte for byte.
zephlora_test(raster_tests ${CMAKE_CURRENT_SOURCE_DIR}/raster_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/dc_raster_test.cpp)
if(ZEPHLORA_WIN32)
  # Runs under Wine through CTest's emulator; its engine frames come from the engine tests'
  # folders and harness.
  zephlora_test(gdi_conformance_tests ${CMAKE_CURRENT_SOURCE_DIR}/gdi_conformance.cpp
                ${CMAKE_CURRENT_SOURCE_DIR}/dc_conformance.cpp ${CMAKE_CURRENT_SOURCE_DIR}/dc_scene.cpp
                ${CMAKE_CURRENT_SOURCE_DIR}/../engine/engine_support.cpp)
  target_include_directories(gdi_conformance_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/../engine)
endif()
if(ZEPHLORA_WIN32)
  # The button scene with GDI and with the raster in one run (a benchmark: it prints, it does
  # not judge); CTest only checks that it runs.
  add_executable(dc_bench ${CMAKE_CURRENT_SOURCE_DIR}/bench/dc_bench.cpp ${CMAKE_CURRENT_SOURCE_DIR}/dc_scene.cpp)
  target_link_options(dc_bench PRIVATE -static -static-libgcc -static-libstdc++)
  target_link_libraries(dc_bench PRIVATE zephlora_core zephlora_platform_win32)
  target_include_directories(dc_bench PRIVATE ${CMAKE_SOURCE_DIR})
  add_test(NAME dc_bench_smoke COMMAND dc_bench 20 WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(dc_bench_smoke PROPERTIES LABELS "bench;wine")
endif()
if(NOT ZEPHLORA_WIN32 AND ZEPHLORA_BENCHMARKS)
  add_executable(dc_raster_bench ${CMAKE_CURRENT_SOURCE_DIR}/bench/dc_raster_bench.cpp ${CMAKE_CURRENT_SOURCE_DIR}/dc_scene.cpp)
  target_link_libraries(dc_raster_bench PRIVATE zephlora_core zephlora_platform_scripted benchmark::benchmark)
  target_include_directories(dc_raster_bench PRIVATE ${CMAKE_SOURCE_DIR})
  add_test(NAME dc_raster_bench_smoke COMMAND dc_raster_bench --benchmark_min_time=0.01
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(dc_raster_bench_smoke PROPERTIES LABELS bench)
endif()
