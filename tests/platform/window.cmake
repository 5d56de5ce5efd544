# The timer table of the non-Windows back ends, and which window the back ends make full
# screen.
if(NOT ZEPHLORA_WIN32)
  zephlora_test(platform_window_tests
    ${CMAKE_CURRENT_SOURCE_DIR}/timer_table_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/full_screen_test.cpp)
endif()
