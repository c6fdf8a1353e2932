# The desktop program: Qt 6 shell, X11/D-Bus idle time, sound, and the
# executable `tolvi`. Included by the top CMakeLists.txt when TOLVI_BUILD_GUI
# is on. Without Qt no `tolvi` is built; the core, its tests and tolvi-sim
# still are.

find_package(Qt6 COMPONENTS Widgets DBus Multimedia Test QUIET)
find_package(X11 QUIET)
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(CANBERRA QUIET IMPORTED_TARGET libcanberra)
endif()

if(NOT (Qt6_FOUND AND X11_FOUND AND X11_Xss_FOUND AND CANBERRA_FOUND))
  message(STATUS "Qt 6, X11/Xss or libcanberra missing: no tolvi program is built")
  return()
endif()

# Installed layout: the program in bin/, its shared files in share/tolvi/.
set(TOLVI_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/tolvi)
set(TOLVI_APPSTREAM_ID org.drovik.tolvi)

# Desktop pieces of the platform layer: idle time, sound, directories. Like
# the POSIX ones they see only the ports.
add_library(tolvi_platform_desktop STATIC
  ${src}/platform/linux/dbus_idle_source.cpp ${src}/platform/linux/desktop_directories.cpp
  ${src}/platform/linux/desktop_notifications.cpp ${src}/platform/linux/desktop_sound.cpp
  ${src}/platform/linux/idle_chooser.cpp ${src}/platform/linux/termination_signals.cpp
  ${src}/platform/linux/time_change_notifier.cpp ${src}/platform/linux/x11_idle_source.cpp
  ${src}/platform/linux/xdg_autostart.cpp)
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
target_link_libraries(tolvi_platform_desktop PUBLIC tolvi_ports Qt6::Widgets Qt6::DBus
                                                    Qt6::Multimedia X11::X11 X11::Xss
                                                    PkgConfig::CANBERRA)

# Qt widgets, one library per qt/ folder, each above the ones it uses:
# reminders/qt < dialogs/qt < shell/qt.
function(tolvi_qt_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "SOURCES;BELOW")
  add_library(${name} STATIC ${layer_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE ${TOLVI_WARNINGS})
  target_link_libraries(${name} PUBLIC ${layer_BELOW} Qt6::Widgets)
endfunction()
tolvi_qt_layer(tolvi_reminders_qt BELOW tolvi_reminders
               SOURCES ${src}/reminders/qt/choice_dialog.cpp ${src}/reminders/qt/lock_window.cpp)
tolvi_qt_layer(tolvi_dialogs_qt BELOW tolvi_reminders_qt tolvi_dialogs tolvi_platform_desktop
               SOURCES ${src}/dialogs/qt/dialog_services.cpp ${src}/dialogs/qt/options_dialog.cpp
                       ${src}/dialogs/qt/window_placement.cpp ${src}/dialogs/qt/work_details_dialog.cpp)
tolvi_qt_layer(tolvi_shell_qt BELOW tolvi_dialogs_qt tolvi_shell tolvi_platform
               SOURCES ${src}/shell/qt/about_box.cpp ${src}/shell/qt/alert_runner.cpp
                       ${src}/shell/qt/application.cpp ${src}/shell/qt/desktop_shell.cpp
                       ${src}/shell/qt/display_painter.cpp ${src}/shell/qt/icons.cpp
                       ${src}/shell/qt/main_window.cpp ${src}/shell/qt/qt_ui.cpp
                       ${src}/shell/qt/tray.cpp)
# Every widget library, for the widget tests.
add_library(tolvi_ui INTERFACE)
target_link_libraries(tolvi_ui INTERFACE tolvi_shell_qt)

# The icons are compiled into the program itself: a resource inside a static
# library would need explicit initialisation.
add_executable(tolvi src/app/main.cpp ${CMAKE_SOURCE_DIR}/resources/tolvi.qrc)
set_target_properties(tolvi PROPERTIES AUTOMOC ON AUTORCC ON)
target_compile_options(tolvi PRIVATE ${TOLVI_WARNINGS})
target_link_libraries(tolvi PRIVATE tolvi_shell_qt)

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
