# Folder helpers. A folder's *.cc files (but *_test.cc) go into a library; its *_test.cc files
# make one test binary run by CTest, with tests named <binary-name-without-_test>.*.

# tarvo_sources(TARGET): add this folder's sources to an existing library.
function(tarvo_sources target)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cc)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cc)
  if(tests)
    list(REMOVE_ITEM srcs ${tests})
  endif()
  target_sources(${target} PRIVATE ${srcs})
endfunction()

# tarvo_tests(NAME DEPS ...): build NAME_test from this folder's *_test.cc files.
function(tarvo_tests name)
  cmake_parse_arguments(T "" "" "DEPS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cc)
  if(NOT tests)
    return()
  endif()
  add_executable(${name}_test ${tests})
  target_link_libraries(${name}_test PRIVATE ${T_DEPS} GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name}_test TEST_PREFIX "${name}." DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "ASAN_OPTIONS=verify_asan_link_order=0")
endfunction()

# tarvo_module(NAME DEPS ... TEST_DEPS ...): a library of its own from this folder, and its tests.
function(tarvo_module name)
  cmake_parse_arguments(M "" "" "DEPS;TEST_DEPS" ${ARGN})
  add_library(${name} STATIC)
  tarvo_sources(${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${M_DEPS})
  tarvo_tests(${name} DEPS ${name} ${M_TEST_DEPS})
endfunction()
