# Line, fill and character styles, the style stores and their three managers, groups, the bitmap
# store, and the models of the style dialogs (pen, marker, font, text style, fill).
target_sources(tessmor_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/LineStyle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FillStyle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CharStyle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StyleStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GroupMan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ComplexGroup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BitmapStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PenEditDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MarkerEditDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FontDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextStyleDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FillEditDlg.cpp
)
tessmor_add_test(chart_managers_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/Managers_test.cpp
  LIBS tessmor_core)
tessmor_add_test(chart_bitmap_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/BitmapStore_test.cpp
  LIBS tessmor_core)
