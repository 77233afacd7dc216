# Directions, sites, normal gravity, field-model input checks, dates and clock times.
target_sources(qor1 PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/Directions.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Sites.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/NormalGravity.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FieldModel.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/DateTime.cpp
)
tessmor_add_test(qor1_directions_test
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/Directions_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/Sites_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/NormalGravity_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/DateTime_test.cpp
  LIBS qor1)
