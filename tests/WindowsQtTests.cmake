# The widget tests as Windows programs: built against the Qt for MinGW-w64 (see
# cmake/QtMingw.cmake) and run under Wine on a virtual display, where Qt's own Windows
# platform draws real windows and the preview's OpenGL widget reaches Mesa through
# Wine. Included by tests/CMakeLists.txt for the Windows build.
#
# What runs here is what differs on Windows: the main window and its start, the dialogs
# and file names through the platform layer, the preview with OpenGL, the textures, the
# points table, the settings and the languages. Left out (they test the window logic,
# which the Linux run covers and which holds no platform code): test_Bearbeitung,
# test_Fokus, test_Ketten, test_Profil, test_Raender, test_SplinePunkte,
# test_Startzustand, test_Fensterplatz, test_Go (the main window after Go is the tour's
# picture and the example written by pavolant.exe in scripts/windows-test.sh).
find_package(Qt6 QUIET COMPONENTS Widgets Test)
if(NOT (Qt6Widgets_FOUND AND Qt6Test_FOUND))
  return()
endif()
find_program(XVFB_RUN xvfb-run)
if(NOT XVFB_RUN OR NOT PAVOLANT_WINE)
  message(STATUS "xvfb-run or Wine missing: the Windows widget tests are built but not run")
endif()

# Wine's own settings, once per prefix: windows not managed by a window manager (Xvfb
# has none; a managed window waits for one about 2 s each time it is shown).
add_test(NAME windows.qt_prefix
         COMMAND ${PAVOLANT_WINE} reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f)
set_tests_properties(windows.qt_prefix PROPERTIES FIXTURES_SETUP wineprefix
                     ENVIRONMENT "${pavolant_wine_umgebung}")

# Qt's DLLs and MinGW's runtime through Wine's PATH; Qt finds its plugins beside its DLLs.
string(REPLACE ";" "\\;" pavolant_dll_pfad "Z:${PAVOLANT_MINGW_DLL_ORDNER}")
string(REPLACE "\\;/" "\\;Z:/" pavolant_dll_pfad "${pavolant_dll_pfad}")
set(pavolant_qt_wine_umgebung "${pavolant_wine_umgebung};WINEPATH=${pavolant_dll_pfad};PAVOLANT_MIT_GL=1;WINEQT_FORCE_STDERR_LOGGING=1")

function(pavolant_windows_qt_programm name quelle)
  add_executable(pavolant_qt_${name} ${quelle})
  set_target_properties(pavolant_qt_${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(pavolant_qt_${name} PRIVATE pavolant_testhilfen pavolant_dds_schreiber pavolant_qt Qt6::Test)
  target_compile_definitions(pavolant_qt_${name} PRIVATE PAVOLANT_SOURCE_DIR="Z:${PROJECT_SOURCE_DIR}")
endfunction()
# All on one display, one after the other: Wine's desktop process of the prefix stays
# bound to the display it started on, so a display per test would leave the next test
# without windows; and two programs on one display would take the focus from each other.
# scripts/windows-test.sh runs CTest under xvfb-run; without a display of the caller's
# the tests start one of their own.
function(pavolant_windows_qt_test test programm umgebung)
  if(XVFB_RUN AND PAVOLANT_WINE)
    add_test(NAME windows.qt_${test}
             COMMAND sh -c "if [ -n \"$DISPLAY\" ]; then exec \"$@\"; else exec ${XVFB_RUN} -a -s '-screen 0 1920x1080x24' \"$@\"; fi"
                     sh ${PAVOLANT_WINE} $<TARGET_FILE:pavolant_qt_${programm}>)
    set_tests_properties(windows.qt_${test} PROPERTIES FIXTURES_REQUIRED wineprefix TIMEOUT 300
                         RESOURCE_LOCK anzeige ENVIRONMENT "${pavolant_qt_wine_umgebung};${umgebung}")
  endif()
endfunction()

foreach(name test_Programmstart test_Dialoge test_Einstellungen test_Gelaendedialog test_Vorschau test_Texturen
             test_Punktetabelle
             fenster_Vorschau)
  pavolant_windows_qt_programm(${name} ${CMAKE_CURRENT_SOURCE_DIR}/qt/${name}.cpp)
  pavolant_windows_qt_test(${name} ${name} "")
endforeach()
# High density: the preview on a screen of 192 dpi (Windows' 200 %), in a Wine prefix of
# its own whose settings say so.
if(XVFB_RUN AND PAVOLANT_WINE)
  set(pavolant_hidpi_umgebung "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-hidpi;WINEDEBUG=-all;LC_ALL=C.UTF-8")
  add_test(NAME windows.qt_prefix_hidpi
           COMMAND sh -c "${PAVOLANT_WINE} reg add 'HKCU\\Software\\Wine\\X11 Driver' /v Managed /d N /f && ${PAVOLANT_WINE} reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d 192 /f")
  set_tests_properties(windows.qt_prefix_hidpi PROPERTIES FIXTURES_SETUP wineprefix_hidpi
                       ENVIRONMENT "${pavolant_hidpi_umgebung}")
  pavolant_windows_qt_test(fenster_Vorschau_hidpi fenster_Vorschau "PAVOLANT_TEST_DPR=2;${pavolant_hidpi_umgebung}")
  set_tests_properties(windows.qt_fenster_Vorschau_hidpi PROPERTIES FIXTURES_REQUIRED "wineprefix_hidpi")
endif()

# The main window in each language, and with the texts as the code holds them.
pavolant_windows_qt_programm(sprachen ${CMAKE_CURRENT_SOURCE_DIR}/qt/sprachen_Hauptfenster.cpp)
foreach(sprache en de c)
  set(wahl ${sprache})
  if(sprache STREQUAL "c")
    set(wahl "")
  endif()
  pavolant_windows_qt_test(sprachen_${sprache} sprachen "LANGUAGE=;PAVOLANT_TEST_SPRACHE=${wahl}")
endforeach()
