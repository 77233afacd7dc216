# The chart view: the drawing interface, rendering, axis drawing, zoom, selection and output, and
# its world-to-paper transform.
target_sources(tessmor_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/VexaView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VexaViewAxis.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VexaViewEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VexaViewOutput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewTransform.cpp
)
tessmor_add_test(chart_view_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/VexaView_test.cpp ${CMAKE_CURRENT_LIST_DIR}/VexaViewAxis_test.cpp
  LIBS tessmor_core Qt6::Gui Qt6::Svg)
