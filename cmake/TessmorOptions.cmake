# Compiler flags shared by every target of the project.
add_compile_options(-Wall -Wextra -Wno-unused-parameter)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # GCC 12 reports false overlaps inside std::string concatenation at -O3 (its bug 105329).
  add_compile_options(-Wno-restrict)
endif()
if(TESSMOR_WERROR)
  add_compile_options(-Werror)
endif()
if(TESSMOR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
if(TESSMOR_FUZZ)
  # Every library is built with coverage so that the harnesses can steer into it.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# tessmor_add_test(NAME SOURCES... LIBS...): a GoogleTest executable whose cases CTest lists
# one by one. Tests run with an offscreen Qt platform so that fonts and text metrics work
# without a display.
function(tessmor_add_test name)
  if(NOT TESSMOR_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} tessmor_testsupport GTest::gtest GTest::gmock)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TESSMOR_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()
