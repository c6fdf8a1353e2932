# The Windows build (cross-compiled with cmake/toolchain-mingw64.cmake): the
# Windows ports, the scenario runner and the core's unit tests as one
# GoogleTest program, run under Wine by scripts/test-windows.sh. Included by
# the top CMakeLists.txt once the core library is defined.

if(TOLVI_SANITIZE)
  message(FATAL_ERROR "MinGW has no AddressSanitizer: configure without TOLVI_SANITIZE")
endif()

# GCC 12 warns falsely about overlapping copies inside libstdc++'s string
# code at -O2 (GCC bug 105329).
list(APPEND TOLVI_WARNINGS -Wno-restrict)
target_compile_options(tolvi_core PRIVATE -Wno-restrict)

# Windows implementations of the ports. UNICODE: every Win32 call takes
# UTF-16; the core's UTF-8 is converted at the call.
file(GLOB TOLVI_WIN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/win/*.cpp)
add_library(tolvi_platform STATIC ${TOLVI_WIN_SOURCES})
target_include_directories(tolvi_platform PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(tolvi_platform PRIVATE ${TOLVI_WARNINGS})
target_compile_definitions(tolvi_platform PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                  _WIN32_WINNT=0x0601)
target_link_libraries(tolvi_platform PUBLIC tolvi_core Threads::Threads bcrypt winmm shell32
                                            advapi32)

file(GLOB TOLVI_SIM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/tolvi_sim/*.cpp)
if(TOLVI_SIM_SOURCES AND "engine" IN_LIST TOLVI_CORE_DIRS)
  add_executable(tolvi-sim ${TOLVI_SIM_SOURCES})
  target_compile_options(tolvi-sim PRIVATE ${TOLVI_WARNINGS})
  target_link_libraries(tolvi-sim PRIVATE tolvi_platform tolvi_core)
endif()

if(NOT TOLVI_BUILD_TESTS)
  return()
endif()

# GoogleTest from Debian's sources, built with the cross compiler.
set(TOLVI_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${TOLVI_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The core's tests, less those of the POSIX ports, those that call POSIX
# directly and the XDG data folders' (POSIX paths), plus the tests of the
# Windows ports.
set(TOLVI_POSIX_ONLY_TESTS platform/posix_clock_test.cpp platform/posix_file_system_test.cpp
                           platform/single_instance_test.cpp storage/user_locale_collator_test.cpp
                           shell/data_directory_test.cpp)
set(TOLVI_WIN_TESTS)
foreach(dir IN LISTS TOLVI_CORE_DIRS ITEMS platform)
  file(GLOB dir_tests CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/tests
       ${CMAKE_SOURCE_DIR}/tests/${dir}/*_test.cpp)
  foreach(test IN LISTS dir_tests)
    if(NOT test IN_LIST TOLVI_POSIX_ONLY_TESTS)
      list(APPEND TOLVI_WIN_TESTS ${CMAKE_SOURCE_DIR}/tests/${test})
    endif()
  endforeach()
endforeach()
file(GLOB TOLVI_FAKES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fakes/*.cpp)
add_executable(tolvi_tests ${TOLVI_WIN_TESTS} ${TOLVI_FAKES})
target_include_directories(tolvi_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_compile_options(tolvi_tests PRIVATE ${TOLVI_WARNINGS})
target_compile_definitions(tolvi_tests PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(tolvi_tests PRIVATE tolvi_platform tolvi_core gtest gmock gtest_main)

# One process for every test: Wine takes seconds to start each one.
enable_testing()
add_test(NAME windows.unit COMMAND tolvi_tests)
