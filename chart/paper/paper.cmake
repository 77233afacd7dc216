# Paper coordinates: the paper mapper, coordinate arrays and the float array.
target_sources(tessmor_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Mapper.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CoordArray.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FloatArray.cpp
)
tessmor_add_test(chart_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FloatArray_test.cpp
  LIBS tessmor_core)
