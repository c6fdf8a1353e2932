# The Windows build (cross-compiled with cmake/toolchain-mingw64.cmake): the
# program tolvi.exe, a Win32 shell over the core, and the tests: the core's
# unit tests and those of the Windows ports as one GoogleTest program, run
# under Wine by scripts/test-windows.sh. Included by the top CMakeLists.txt
# in place of the Linux desktop program and tests.

# tolvi.exe: the Win32 shell, its resources (icons, version, manifest) and
# the dialogs. The runtime is linked statically (the toolchain's flags).
enable_language(RC)
set(TOLVI_WIN_SHELL_SOURCES
    ${src}/shell/win/about_box.cpp ${src}/shell/win/alert_toolkit.cpp
    ${src}/shell/win/application.cpp ${src}/shell/win/display_painter.cpp
    ${src}/shell/win/main_window.cpp ${src}/shell/win/remote_client.cpp
    ${src}/shell/win/remote_server.cpp ${src}/shell/win/tray.cpp
    ${src}/shell/win/win_directories.cpp ${src}/shell/win/win_shell.cpp
    ${src}/shell/win/win_ui.cpp)
include(${CMAKE_SOURCE_DIR}/cmake/WindowsDialogs.cmake)
set(TOLVI_WIN_RC ${CMAKE_SOURCE_DIR}/resources/win/tolvi.rc)
# The shell as a library, so that its tests link the same code.
set(TOLVI_WIN_DEFINES UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
add_library(tolvi_win_shell STATIC ${TOLVI_WIN_SHELL_SOURCES} ${TOLVI_WIN_DIALOG_SOURCES})
target_compile_options(tolvi_win_shell PRIVATE ${TOLVI_WARNINGS})
target_compile_definitions(tolvi_win_shell PRIVATE ${TOLVI_WIN_DEFINES})
target_include_directories(tolvi_win_shell PRIVATE ${TOLVI_WIN_DIALOG_INCLUDES})
target_link_libraries(tolvi_win_shell PUBLIC tolvi_platform tolvi_core ${TOLVI_WIN_DIALOG_LIBRARIES}
                                             uuid)
add_executable(tolvi WIN32 ${src}/app/win_main.cpp ${TOLVI_WIN_RC})
target_compile_options(tolvi PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${TOLVI_WARNINGS}>)
# wWinMain is the entry point (UNICODE).
target_compile_definitions(tolvi PRIVATE ${TOLVI_WIN_DEFINES})
target_link_options(tolvi PRIVATE -municode)
target_link_libraries(tolvi PRIVATE tolvi_win_shell)

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
# The Win32 shell's own tests.
list(APPEND TOLVI_WIN_TESTS ${CMAKE_SOURCE_DIR}/tests/win/win_shell_test.cpp)
add_executable(tolvi_tests ${TOLVI_WIN_TESTS})
# Wine reads the Unix path of the source tree as a path on the current drive.
set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/reminders/phrases_test.cpp
                            PROPERTIES COMPILE_DEFINITIONS TOLVI_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_include_directories(tolvi_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
# Test code is not optimised, as in the Linux build (tests/CMakeLists.txt).
target_compile_options(tolvi_tests PRIVATE ${TOLVI_WARNINGS} -O0)
target_compile_definitions(tolvi_tests PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(tolvi_tests PRIVATE tolvi_win_shell tolvi_fakes gtest gmock gtest_main)

# One process for every test: Wine takes seconds to start each one.
enable_testing()
add_test(NAME windows.unit COMMAND tolvi_tests)
