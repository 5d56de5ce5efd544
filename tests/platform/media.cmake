# The multimedia command interpreter of the Linux and scripted back ends, over devices of
# the test's own.
if(NOT ZEPHLORA_WIN32)
  zephlora_test(platform_media_tests ${CMAKE_CURRENT_SOURCE_DIR}/media_commands_test.cpp
                LIBS zephlora_emulation)
endif()
