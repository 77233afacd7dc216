# Prompts, file dialogs, dialog models and their runner, and the clipboard: text, named record
# formats and pictures, in memory or on QClipboard.
target_sources(tessmor_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Prompts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogRunner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Clipboard.cpp
)
tessmor_add_test(platform_clipboard_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/Clipboard_test.cpp
  LIBS tessmor_platform)
