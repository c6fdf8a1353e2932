# The Win32 dialogs and question window, for the Windows program's target
# (which compiles its resource script with resources/win/dialogs.rc in it),
# and a small program that opens each dialog on a fake core under Wine.
# Included by cmake/Windows.cmake.

set(TOLVI_WIN_DIALOG_SOURCES
    ${CMAKE_SOURCE_DIR}/src/reminders/win/win_lock_desktop.cpp
    ${CMAKE_SOURCE_DIR}/src/reminders/win/win_modal_dialog.cpp
    ${CMAKE_SOURCE_DIR}/src/reminders/win/win_question.cpp
    ${CMAKE_SOURCE_DIR}/src/dialogs/win/win_dialogs.cpp
    ${CMAKE_SOURCE_DIR}/src/dialogs/win/win_options_dialog.cpp
    ${CMAKE_SOURCE_DIR}/src/dialogs/win/win_pickers.cpp
    ${CMAKE_SOURCE_DIR}/src/dialogs/win/win_work_details_dialog.cpp)
# Include folder of dialog_ids.h, shared by the resource script and the code.
set(TOLVI_WIN_DIALOG_INCLUDES ${CMAKE_SOURCE_DIR}/resources/win)
set(TOLVI_WIN_DIALOG_LIBRARIES comctl32 comdlg32 shell32 ole32 user32 gdi32)

if(NOT TOLVI_BUILD_TESTS)
  return()
endif()

enable_language(RC)
add_executable(tolvi_dialog_smoke ${CMAKE_SOURCE_DIR}/tests/win/dialog_smoke.cpp
                                  ${CMAKE_SOURCE_DIR}/tests/win/dialog_smoke.rc
                                  ${TOLVI_WIN_DIALOG_SOURCES})
target_include_directories(tolvi_dialog_smoke PRIVATE ${CMAKE_SOURCE_DIR}/tests
                                                      ${TOLVI_WIN_DIALOG_INCLUDES})
target_compile_options(tolvi_dialog_smoke PRIVATE ${TOLVI_WARNINGS})
target_compile_definitions(tolvi_dialog_smoke PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                      _WIN32_WINNT=0x0601)
target_link_libraries(tolvi_dialog_smoke PRIVATE tolvi_platform tolvi_fakes tolvi_core
                                                 ${TOLVI_WIN_DIALOG_LIBRARIES})
