# What the Linux build finds as Debian packages, for the Windows cross-build: googletest built
# from its Debian sources with the cross compiler; the header-only JSON and command-line
# libraries, and xxHash compiled inline from its header, seen through an include folder of their
# own (the host's /usr/include must not reach the cross compiler).
set(TARVO_GTEST_SOURCE /usr/src/googletest CACHE PATH "googletest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${TARVO_GTEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(lib gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${lib})
    add_library(GTest::${lib} ALIAS ${lib})
  endif()
endforeach()

set(host_headers ${PROJECT_BINARY_DIR}/host-headers)
foreach(name nlohmann CLI xxhash.h)
  if(NOT EXISTS /usr/include/${name})
    message(FATAL_ERROR "/usr/include/${name} is missing: run scripts/install-deps.sh")
  endif()
  if(NOT EXISTS ${host_headers}/${name})
    file(MAKE_DIRECTORY ${host_headers})
    file(CREATE_LINK /usr/include/${name} ${host_headers}/${name} SYMBOLIC)
  endif()
endforeach()
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${host_headers})
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${host_headers})
# The simulated printer's print hashes: the whole of xxHash is in its header.
add_library(PkgConfig::XXHASH INTERFACE IMPORTED)
target_include_directories(PkgConfig::XXHASH SYSTEM INTERFACE ${host_headers})
target_compile_definitions(PkgConfig::XXHASH INTERFACE XXH_INLINE_ALL)
