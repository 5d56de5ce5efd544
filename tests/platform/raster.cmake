# The software raster: GDI's block-copy rules checked on their own, and under Wine the same
# labelled scenes (and whole engine frames) drawn with real GDI and compared byte for byte.
zephlora_test(raster_tests ${CMAKE_CURRENT_SOURCE_DIR}/raster_test.cpp)
if(ZEPHLORA_WIN32)
  # Runs under Wine through CTest's emulator; its engine frames come from the engine tests'
  # folders and harness.
  zephlora_test(gdi_conformance_tests ${CMAKE_CURRENT_SOURCE_DIR}/gdi_conformance.cpp
                ${CMAKE_CURRENT_SOURCE_DIR}/dc_conformance.cpp ${CMAKE_CURRENT_SOURCE_DIR}/dc_scene.cpp
                ${CMAKE_CURRENT_SOURCE_DIR}/../engine/engine_support.cpp)
  target_include_directories(gdi_conformance_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/../engine)
endif()
