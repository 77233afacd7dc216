# Paper mapper, coordinate arrays and the chart view's world-to-paper transform.
target_sources(tessmor_core PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/Mapper.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CoordArray.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ViewTransform.cpp
)
tessmor_add_test(chart_mapper_test
  SOURCES Mapper_test.cpp CoordArray_test.cpp ViewTransform_test.cpp
  LIBS tessmor_core)
