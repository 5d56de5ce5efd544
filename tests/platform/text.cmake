# Text on the software raster: its layout rules and painting natively, and a cross-check of
# DT_CALCRECT's extents and the place of every line against Wine's DrawTextA on the same font
# files (text_probe.exe of the MinGW build, run under Wine by the native test).
if(ZEPHLORA_WIN32)
  add_executable(text_probe ${CMAKE_CURRENT_SOURCE_DIR}/text_probe.cpp)
  target_include_directories(text_probe PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_options(text_probe PRIVATE -static -static-libgcc -static-libstdc++)
  target_link_libraries(text_probe PRIVATE gdi32 user32)
else()
  zephlora_test(text_tests ${CMAKE_CURRENT_SOURCE_DIR}/text_layout_test.cpp
                ${CMAKE_CURRENT_SOURCE_DIR}/text_render_test.cpp LIBS zephlora_raster_text)

  add_executable(text_crosscheck_tests ${CMAKE_CURRENT_SOURCE_DIR}/text_crosscheck_test.cpp)
  target_include_directories(text_crosscheck_tests PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(text_crosscheck_tests PRIVATE zephlora_raster_text GTest::gtest_main)
  target_compile_definitions(text_crosscheck_tests PRIVATE
    ZEPHLORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}" ZEPHLORA_WIN32_DIR_PATH="${ZEPHLORA_WIN32_DIR}")
  # Wine shares the prefix with the black-box tests: one at a time.
  zephlora_discover_tests(text_crosscheck_tests LABELS wine
                          PROPERTIES RESOURCE_LOCK zephlora_display TIMEOUT 300)
endif()
