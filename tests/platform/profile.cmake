# The settings-file functions of the POSIX back ends (the Windows ones are compared with them by
# the black-box cross-check).
if(NOT ZEPHLORA_WIN32)
  zephlora_test(profile_tests
    ${CMAKE_CURRENT_SOURCE_DIR}/profile_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/profile_fuzz_test.cpp)
endif()
