# Style stores and managers, and the default pen and marker editors.
target_sources(tessmor_core PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/StyleStore.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/LManager.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FManager.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/CManager.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/PenEditDlg.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/MarkerEditDlg.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TextStyleDlg.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FillEditDlg.cpp
)
tessmor_add_test(chart_managers_test
  SOURCES Managers_test.cpp
  LIBS tessmor_core)
