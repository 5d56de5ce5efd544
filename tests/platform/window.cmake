# The timer table of the non-Windows back ends, which window the back ends make full
# screen, and the child windows of the scripted back end.
if(NOT ZEPHLORA_WIN32)
  zephlora_test(platform_window_tests
    ${CMAKE_CURRENT_SOURCE_DIR}/timer_table_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/full_screen_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/child_window_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/controls_test.cpp)
endif()
