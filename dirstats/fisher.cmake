# Fisher statistics and the clipboard record exchange.
target_sources(qorpelvar PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/Fisher.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FisherTables.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ClipboardRecords.cpp
)
tessmor_add_test(qorpelvar_fisher_test
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/Fisher_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/FisherTables_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ClipboardRecords_test.cpp
  LIBS qorpelvar)

# The program that computes FisherTables.cpp (built on request only; see its README).
add_executable(generate_fisher_tables EXCLUDE_FROM_ALL
  ${CMAKE_SOURCE_DIR}/tools/fisher_tables/generate_fisher_tables.cpp)
