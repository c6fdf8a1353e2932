# The Debian package (cpack -G DEB, run by scripts/package.sh): the
# component "program" of cmake/Gui.cmake plus the manual page and the Debian
# documents made here. Developer tools installed in other components (the
# scenario runner) stay out.

find_program(TOLVI_GZIP gzip REQUIRED)
set(TOLVI_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${TOLVI_PACKAGING_DIR})

# gzip -n keeps no name or time in the archive, so builds are reproducible.
set(TOLVI_GZIPPED)
foreach(pair "resources/tolvi.1=tolvi.1.gz" "packaging/debian/changelog=changelog.Debian.gz")
  string(REPLACE "=" ";" pair ${pair})
  list(GET pair 0 source)
  list(GET pair 1 output)
  add_custom_command(
    OUTPUT ${TOLVI_PACKAGING_DIR}/${output}
    COMMAND sh -c "${TOLVI_GZIP} -9nc '${CMAKE_SOURCE_DIR}/${source}' > '${output}'"
    WORKING_DIRECTORY ${TOLVI_PACKAGING_DIR}
    DEPENDS ${CMAKE_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND TOLVI_GZIPPED ${TOLVI_PACKAGING_DIR}/${output})
endforeach()
add_custom_target(tolvi_package_documents ALL DEPENDS ${TOLVI_GZIPPED})

set(TOLVI_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tolvi)
install(FILES ${TOLVI_PACKAGING_DIR}/tolvi.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT program)
install(FILES packaging/debian/copyright ${TOLVI_PACKAGING_DIR}/changelog.Debian.gz
        DESTINATION ${TOLVI_DOC_DIR} COMPONENT program)

set(CPACK_GENERATOR DEB)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Tolvi;program;/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_NAME tolvi)
set(CPACK_PACKAGE_VENDOR Drovik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tolvi developers <tolvi@drovik.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "break reminder and work logger for the desktop")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tolvi lives in the notification area and watches keyboard and mouse idle
time to tell whether you are working, on a break, away or at a meeting.
After a set amount of counted work it reminds you to take a break, with
snooze, micro breaks, a maximum-break alert and an optional full-screen
lock.
.
It counts your work per work type you name, keeps a seven-day history with
totals, averages and a daily target, and writes a plain-text work log with
one line per day. It reads and writes the data files of the Windows version
unchanged.")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Needed at run time but not linked: Qt's media player crashes without the
# GStreamer plugins, and the guide and the work log open through xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, xdg-utils")
# The main window's fonts, and native Wayland windows.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
