# The recording device context.
target_sources(tessmor_testsupport PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/RecordingDC.cpp)
