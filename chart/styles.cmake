# Line, fill and character styles, the font dialog and item hit regions.
target_sources(tessmor_core PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/LineStyle.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FillStyle.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CharStyle.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FontDlg.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ItemRegion.cpp
)
tessmor_add_test(chart_styles_test
  SOURCES LineStyle_test.cpp CharStyle_test.cpp ItemRegion_test.cpp
  LIBS tessmor_core)
