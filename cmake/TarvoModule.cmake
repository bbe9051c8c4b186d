# Folder helpers. Each folder of src/ is one library made of its *.cc files (but *_test.cc); its
# *_test.cc files make one test binary run by CTest, with tests named <library>.*.
#
# A library sees only its own folder and the folders of the libraries it links: each gets an
# include directory of its own in the build tree holding one link, <folder> -> src/<folder>, and
# include directories pass on through target_link_libraries. An #include that runs up the layers
# names a folder that is not there and fails to build. Tests see the whole of src/.

# tarvo_layer_includes(TARGET): give TARGET the include directory that shows this folder.
function(tarvo_layer_includes target)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(dir ${PROJECT_BINARY_DIR}/layers/${folder})
  if(NOT EXISTS ${dir}/${folder})
    file(MAKE_DIRECTORY ${dir})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${dir}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${dir})
endfunction()

# tarvo_sources(TARGET): add this folder's sources to an existing library.
function(tarvo_sources target)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cc)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cc)
  if(tests)
    list(REMOVE_ITEM srcs ${tests})
  endif()
  target_sources(${target} PRIVATE ${srcs})
endfunction()

# tarvo_tests(NAME DEPS ... POSIX_TESTS ...): build NAME_test from this folder's *_test.cc files;
# those named in POSIX_TESTS (they start processes or send signals) not in the Windows build.
function(tarvo_tests name)
  cmake_parse_arguments(T "" "" "DEPS;POSIX_TESTS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cc)
  if(WIN32 AND T_POSIX_TESTS)
    list(TRANSFORM T_POSIX_TESTS PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
    list(REMOVE_ITEM tests ${T_POSIX_TESTS})
  endif()
  if(NOT tests)
    return()
  endif()
  add_executable(${name}_test ${tests})
  target_include_directories(${name}_test PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name}_test PRIVATE ${T_DEPS} GTest::gmock GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    # Under an emulator (Wine) each start of a program costs seconds: the whole binary is one
    # CTest test, and nothing runs at build time to list its cases.
    add_test(NAME ${name} COMMAND ${name}_test)
  else()
    gtest_discover_tests(${name}_test TEST_PREFIX "${name}." DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "ASAN_OPTIONS=verify_asan_link_order=0")
  endif()
endfunction()

# tarvo_module(NAME DEPS ... TEST_DEPS ... POSIX_TESTS ...): this folder's library and its tests.
function(tarvo_module name)
  cmake_parse_arguments(M "" "" "DEPS;TEST_DEPS;POSIX_TESTS" ${ARGN})
  add_library(${name} STATIC)
  tarvo_sources(${name})
  tarvo_layer_includes(${name})
  target_link_libraries(${name} PUBLIC ${M_DEPS})
  tarvo_tests(${name} DEPS ${name} ${M_TEST_DEPS} POSIX_TESTS ${M_POSIX_TESTS})
endfunction()

# tarvo_qt_tests(LIBRARY TESTS...): one QTest binary LIBRARY_<name> per *_test.cc of TESTS,
# linking LIBRARY, run by CTest as LIBRARY.<name> on the offscreen platform.
function(tarvo_qt_tests library)
  foreach(test_src ${ARGN})
    get_filename_component(test_name ${test_src} NAME_WE)
    set(target ${library}_${test_name})
    add_executable(${target} ${test_src})
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PRIVATE ${library} tarvo_testing Qt6::Test)
    add_test(NAME ${library}.${test_name} COMMAND ${target})
    set_tests_properties(${library}.${test_name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=verify_asan_link_order=0;TARVO_CONFIG_DIR=${CMAKE_CURRENT_BINARY_DIR}/test-config"
      TIMEOUT 120)
  endforeach()
endfunction()
