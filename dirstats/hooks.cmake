# (being written)
target_sources(qorpelvar PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/Placeholder.cpp)
