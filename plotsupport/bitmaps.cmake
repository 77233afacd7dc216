# Bitmap resources, bitmap scaling, metafile conversion and world transforms.
target_sources(vexadl1 PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/Bitmaps.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/BitmapResources.cpp
)

tessmor_add_test(vexadl1_bitmap_test
  SOURCES Bitmaps_test.cpp
  LIBS vexadl1)
