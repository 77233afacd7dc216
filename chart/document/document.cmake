# The chart document: drawing, selection, groups, the chart file and the clipboard.
target_sources(tessmor_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/VexaDoc.cpp
)
tessmor_add_test(chart_document_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/VexaDoc_test.cpp
  LIBS tessmor_core)
