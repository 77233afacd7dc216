# Paper coordinates: the paper mapper and coordinate arrays.
target_sources(tessmor_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Mapper.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CoordArray.cpp
)
