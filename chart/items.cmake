# The chart's drawing items: lines, polygon fills, arcs, arc fills, texts and symbols.
target_sources(tessmor_core PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/VexaLine.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/VexaPolyFill.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/VexaArc.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/VexaArcFill.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/VexaString.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/VexaSymbol.cpp
)
tessmor_add_test(chart_items_test
  SOURCES Items_test.cpp
  LIBS tessmor_core)
