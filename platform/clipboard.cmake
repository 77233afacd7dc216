# The clipboard: text, named record formats and pictures, in memory or on QClipboard.
target_sources(tessmor_platform PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/Clipboard.cpp)
tessmor_add_test(platform_clipboard_test
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/Clipboard_test.cpp
  LIBS tessmor_platform)
