# The Windows implementations of the ports, for the cross build with
# cmake/toolchain-mingw64.cmake. Included by the top CMakeLists.txt where it
# chooses the ports, once the core's layers are defined.

if(TOLVI_SANITIZE)
  message(FATAL_ERROR "MinGW has no AddressSanitizer: configure without TOLVI_SANITIZE")
endif()

# GCC 12 warns falsely about overlapping copies inside libstdc++'s string
# code at -O2 (GCC bug 105329).
list(APPEND TOLVI_WARNINGS -Wno-restrict)
foreach(layer IN LISTS TOLVI_CORE_LAYERS)
  target_compile_options(${layer} PRIVATE -Wno-restrict)
endforeach()

# UNICODE: every Win32 call takes UTF-16; the core's UTF-8 is converted at
# the call.
set(win ${CMAKE_SOURCE_DIR}/src/platform/win)
tolvi_layer(tolvi_platform BELOW tolvi_ports Threads::Threads bcrypt winmm shell32 advapi32
            SOURCES ${win}/wide_text.cpp ${win}/win_autostart.cpp ${win}/win_clock.cpp
                    ${win}/win_collator.cpp ${win}/win_desktop.cpp ${win}/win_error.cpp
                    ${win}/win_file_system.cpp ${win}/win_named_pipe.cpp ${win}/win_random.cpp
                    ${win}/win_single_instance.cpp)
target_compile_definitions(tolvi_platform PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                  _WIN32_WINNT=0x0601)
