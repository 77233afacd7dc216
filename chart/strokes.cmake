# Strokes, dashed lines and arcs; groups.
target_sources(tessmor_core PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/Stroke.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/DashLine.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/DashArc.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/DashCase.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/GroupMan.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ComplexGroup.cpp
)
tessmor_add_test(chart_strokes_test
  SOURCES Stroke_test.cpp DashLine_test.cpp DashArc_test.cpp GroupMan_test.cpp
          ComplexGroup_test.cpp
  LIBS tessmor_core)
