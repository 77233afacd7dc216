# The chart view: the drawing interface, rendering, zoom, selection and output.
target_sources(tessmor_core PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/VexaView.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/VexaViewAxis.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/VexaViewEdit.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/VexaViewOutput.cpp
)
tessmor_add_test(chart_view_test
  SOURCES VexaView_test.cpp VexaViewAxis_test.cpp
  LIBS tessmor_core Qt6::Gui Qt6::Svg)
