# Axis scaling, tick labels and title placement.
target_sources(vexadl1 PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/Axis.cpp
)

tessmor_add_test(vexadl1_axis_test
  SOURCES Axis_test.cpp
  LIBS vexadl1)
