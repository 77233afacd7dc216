# Archives, file errors and settings.
target_sources(tessmor_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Archive.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileError.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Settings.cpp
)
