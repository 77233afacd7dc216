# The bitmap store.
target_sources(tessmor_core PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/BitmapStore.cpp
)

tessmor_add_test(chart_bitmap_test
  SOURCES BitmapStore_test.cpp
  LIBS tessmor_core)
