# Bearing reduction and the library's message hook.
target_sources(qorpelvar PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/Bearing.cpp)
tessmor_add_test(qorpelvar_hooks_test
  SOURCES Bearing_test.cpp
  LIBS qorpelvar)
