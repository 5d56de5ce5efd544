# The file layer of the POSIX back ends.
if(NOT ZEPHLORA_WIN32)
  zephlora_test(platform_files_tests ${CMAKE_CURRENT_SOURCE_DIR}/files_test.cpp)
endif()
