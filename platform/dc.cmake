# Device contexts and regions.
target_sources(tessmor_platform PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/DC.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ImageDC.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/PictureFiles.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/QtDC.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Region.cpp
)
tessmor_add_test(platform_dc_test
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/DC_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/PictureFiles_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/QtDC_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/Region_test.cpp
  LIBS tessmor_platform tessmor_testsupport Qt6::Gui Qt6::Svg)
