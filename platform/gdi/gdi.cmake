# Device contexts and regions.
target_sources(tessmor_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DC.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageDC.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PictureFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtDC.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Region.cpp
)
tessmor_add_test(platform_dc_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/DC_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureFiles_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtDC_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Region_test.cpp
  LIBS tessmor_platform tessmor_testsupport Qt6::Gui Qt6::Svg)

# Device-independent bitmaps and the metafile writers.
target_sources(tessmor_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Dib.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EmfDC.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EnhMetafile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MetafileDC.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UemfBrush.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WmfDC.cpp
)
tessmor_add_test(platform_metafile_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Dib_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EmfDC_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WmfDC_test.cpp
  LIBS tessmor_platform Qt6::Gui)

# Inkscape and LibreOffice open the metafiles (ctest -L interop); each part skips itself where
# its program is not installed. Its pictures go to build/interop/.
if(TESSMOR_TESTS)
  add_executable(platform_metafile_interop_test ${CMAKE_CURRENT_LIST_DIR}/MetafileInterop_test.cpp)
  target_link_libraries(platform_metafile_interop_test PRIVATE
    tessmor_platform tessmor_testsupport GTest::gtest Qt6::Gui)
  gtest_discover_tests(platform_metafile_interop_test
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    PROPERTIES
      LABELS interop
      TIMEOUT 600
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TESSMOR_SOURCE_DIR=${CMAKE_SOURCE_DIR};TESSMOR_INTEROP_DIR=${CMAKE_BINARY_DIR}/interop")
endif()
