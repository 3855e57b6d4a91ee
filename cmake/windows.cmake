# What the Windows build takes instead of Debian's libraries, none of which exist for mingw: SQLite from
# the committed amalgamation, CLI11's headers, GoogleTest from its source. No ICU (the system collates) and
# no libmdb (Access files go through the system's own provider).

# Statically linked: the programs need nothing but the DLLs every Windows has.
add_link_options(-static)
# -O3 makes GCC 12 report false -Wrestrict warnings inside libstdc++; -O2 is clean.
string(REPLACE "-O3" "-O2" CMAKE_CXX_FLAGS_RELEASE "${CMAKE_CXX_FLAGS_RELEASE}")
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# Programs of the build (the area-code generator, the tests) run under Wine, in a prefix of their own
# that is made on first use.
if(DEFINED ENV{WINEPREFIX})
  set(default_prefix $ENV{WINEPREFIX})
else()
  set(default_prefix ${CMAKE_BINARY_DIR}/wine-prefix)
endif()
set(FERNKARTEI_WINE_PREFIX ${default_prefix} CACHE PATH "Wine prefix the Windows programs of the build run in")
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${FERNKARTEI_WINE_PREFIX} ${CMAKE_SOURCE_DIR}/scripts/wine-run)

add_subdirectory(${CMAKE_SOURCE_DIR}/third_party/sqlite ${CMAKE_BINARY_DIR}/third_party/sqlite)

# CLI11 is header-only. Its headers are copied so that the host's include folder stays out of the build.
find_path(FERNKARTEI_CLI11_DIR CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(COPY ${FERNKARTEI_CLI11_DIR}/CLI DESTINATION ${CMAKE_BINARY_DIR}/third_party/cli11)
add_library(cli11 INTERFACE)
target_include_directories(cli11 SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/third_party/cli11)
add_library(CLI11::CLI11 ALIAS cli11)

if(FERNKARTEI_TESTS)
  find_path(FERNKARTEI_GOOGLETEST_DIR CMakeLists.txt PATHS /usr/src/googletest NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${FERNKARTEI_GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/third_party/googletest EXCLUDE_FROM_ALL)
  foreach(library gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${library})
      add_library(GTest::${library} ALIAS ${library})
    endif()
  endforeach()
endif()
