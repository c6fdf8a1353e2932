# The Windows build's tests (cross-compiled with cmake/toolchain-mingw64.cmake):
# the core's unit tests and those of the Windows ports as one GoogleTest
# program, run under Wine by scripts/test-windows.sh. Included by the top
# CMakeLists.txt in place of the Linux desktop program and tests.

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
                           platform/data_directory_test.cpp)
set(TOLVI_WIN_TESTS)
foreach(dir text platform storage settings state accounting worklog engine reminders dialogs shell)
  file(GLOB dir_tests CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/tests
       ${CMAKE_SOURCE_DIR}/tests/${dir}/*_test.cpp)
  foreach(test IN LISTS dir_tests)
    if(NOT test IN_LIST TOLVI_POSIX_ONLY_TESTS)
      list(APPEND TOLVI_WIN_TESTS ${CMAKE_SOURCE_DIR}/tests/${test})
    endif()
  endforeach()
endforeach()
add_executable(tolvi_tests ${TOLVI_WIN_TESTS})
target_include_directories(tolvi_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_compile_options(tolvi_tests PRIVATE ${TOLVI_WARNINGS})
target_compile_definitions(tolvi_tests PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(tolvi_tests PRIVATE tolvi_platform tolvi_fakes tolvi_core gtest gmock gtest_main)

# One process for every test: Wine takes seconds to start each one.
enable_testing()
add_test(NAME windows.unit COMMAND tolvi_tests)
