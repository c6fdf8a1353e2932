# The desktop program: Qt 6 shell, X11/D-Bus idle time, sound, and the
# executable `tolvi`. Included by the top CMakeLists.txt when TOLVI_BUILD_GUI
# is on. Without Qt the command-line front end is built instead, so a
# core-only machine still gets a `tolvi`.

find_package(Qt6 COMPONENTS Widgets DBus Multimedia Test QUIET)
find_package(X11 QUIET)
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(CANBERRA QUIET IMPORTED_TARGET libcanberra)
endif()

if(NOT (Qt6_FOUND AND X11_FOUND AND X11_Xss_FOUND AND CANBERRA_FOUND))
  message(STATUS "Qt 6, X11/Xss or libcanberra missing: building the command-line tolvi")
  if(EXISTS ${CMAKE_SOURCE_DIR}/src/app/cli_main.cpp)
    add_executable(tolvi src/app/cli_main.cpp)
    target_compile_options(tolvi PRIVATE ${TOLVI_WARNINGS})
    target_link_libraries(tolvi PRIVATE tolvi_platform tolvi_core)
    install(TARGETS tolvi RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
  return()
endif()

# Installed layout: the program in bin/, its shared files in share/tolvi/.
set(TOLVI_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/tolvi)
set(TOLVI_APPSTREAM_ID org.drovik.tolvi)

# Desktop pieces of the platform layer: idle time, sound, directories.
file(GLOB TOLVI_DESKTOP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/linux/*.cpp)
add_library(tolvi_platform_desktop STATIC ${TOLVI_DESKTOP_SOURCES})
set_target_properties(tolvi_platform_desktop PROPERTIES AUTOMOC ON)
target_include_directories(tolvi_platform_desktop PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(tolvi_platform_desktop PRIVATE ${TOLVI_WARNINGS})
# The program finds its shared files relative to itself, so an installed
# tree still works when moved to another prefix.
file(RELATIVE_PATH TOLVI_SHARE_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${TOLVI_SHARE_DIR})
target_compile_definitions(
  tolvi_platform_desktop
  PRIVATE TOLVI_INSTALL_BINDIR="${CMAKE_INSTALL_FULL_BINDIR}"
          TOLVI_SHARE_FROM_BIN="${TOLVI_SHARE_FROM_BIN}")
target_link_libraries(tolvi_platform_desktop PUBLIC tolvi_platform Qt6::Widgets Qt6::DBus
                                                    Qt6::Multimedia X11::X11 X11::Xss
                                                    PkgConfig::CANBERRA)

# Qt widgets of the subsystems being built (each subsystem keeps its toolkit
# code in a qt/ subfolder).
set(TOLVI_UI_SOURCES)
foreach(dir IN LISTS TOLVI_CORE_DIRS)
  file(GLOB dir_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${dir}/qt/*.cpp)
  list(APPEND TOLVI_UI_SOURCES ${dir_sources})
endforeach()
add_library(tolvi_ui STATIC ${TOLVI_UI_SOURCES})
set_target_properties(tolvi_ui PROPERTIES AUTOMOC ON)
target_include_directories(tolvi_ui PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(tolvi_ui PRIVATE ${TOLVI_WARNINGS})
target_link_libraries(tolvi_ui PUBLIC tolvi_platform_desktop tolvi_core Qt6::Widgets)

# The icons are compiled into the program itself: a resource inside a static
# library would need explicit initialisation.
add_executable(tolvi src/app/main.cpp ${CMAKE_SOURCE_DIR}/resources/tolvi.qrc)
set_target_properties(tolvi PROPERTIES AUTOMOC ON AUTORCC ON)
target_compile_options(tolvi PRIVATE ${TOLVI_WARNINGS})
target_link_libraries(tolvi PRIVATE tolvi_ui tolvi_platform_desktop tolvi_platform tolvi_core)

# The build tree works as an installed program does: the shipped files sit
# beside the built program, and the marker "DefSet.txt" sends the data to
# the user's data folder, so deleting the build never deletes anyone's work.
configure_file(${CMAKE_SOURCE_DIR}/resources/Text.txt ${CMAKE_BINARY_DIR}/Text.txt COPYONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/ReadMe.htm ${CMAKE_BINARY_DIR}/ReadMe.htm COPYONLY)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/DefSet.txt
     CONTENT "This file tells Tolvi to keep its data in ~/.local/share/Drovik/Tolvi.\n")

# Everything the desktop program installs belongs to the component
# "program", the one the Debian package holds.
install(TARGETS tolvi RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
install(FILES resources/Text.txt resources/ReadMe.htm DESTINATION ${TOLVI_SHARE_DIR}
        COMPONENT program)
install(FILES resources/tolvi.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT program)
install(FILES resources/tolvi.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        RENAME ${TOLVI_APPSTREAM_ID}.metainfo.xml COMPONENT program)
install(FILES resources/icons/tolvi.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT program)
foreach(size 16 22 32 48)
  install(FILES resources/icons/${size}/tolvi.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          COMPONENT program)
endforeach()

include(${CMAKE_SOURCE_DIR}/cmake/Package.cmake)
