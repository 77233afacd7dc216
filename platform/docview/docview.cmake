# The application, documents and document templates.
target_sources(tessmor_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Application.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DocTemplate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Document.cpp
)
