# Window placements in the settings, settings texts, and the library's message hooks.
target_sources(qor1 PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/SettingsText.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/WindowPlacement.cpp
)
tessmor_add_test(qor1_placement_test
  SOURCES SettingsText_test.cpp WindowPlacement_test.cpp
  LIBS qor1)
