# The data entry dialog and the document's Edit Data command.
target_sources(tessmor_core PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/DataEntryDlg.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/EditData.cpp
)
tessmor_add_test(dataentry_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/DataEntryDlg_test.cpp
  LIBS tessmor_core)
