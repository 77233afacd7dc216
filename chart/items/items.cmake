# The drawing items (lines, polygon fills, arcs, arc fills, texts and symbols), their strokes,
# dashed lines and arcs, and their hit regions.
target_sources(tessmor_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/VexaLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VexaPolyFill.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VexaArc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VexaArcFill.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VexaString.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VexaSymbol.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Stroke.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DashLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DashArc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DashCase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ItemRegion.cpp
)
tessmor_add_test(chart_items_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/Items_test.cpp
  LIBS tessmor_core)
