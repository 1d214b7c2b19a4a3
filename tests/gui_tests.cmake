# Tests of the real window, the printed page and the CUPS back end.
find_package(Qt6 REQUIRED COMPONENTS Test)

add_library(solvara_test_support STATIC qt_main.cpp message_catcher.h
                                         window_helpers.h
                                         recording_printer.h
                                         pdf_words.h pdf_words.cpp
                                         fake_print_server.h)
target_include_directories(solvara_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(solvara_test_support PUBLIC
  SOLVARA_FAKE_PRINT_SERVER="${CMAKE_CURRENT_SOURCE_DIR}/fake_print_server.py"
  SOLVARA_PRINT_HELPER="$<TARGET_FILE:solvara-print>")
add_dependencies(solvara_test_support solvara-print)
target_link_libraries(solvara_test_support
  PUBLIC solvara_ui solvara_print Qt6::Widgets Qt6::Test GTest::gtest
  PRIVATE solvara_warnings)

add_executable(window_tests mainform_test.cpp centraform_test.cpp)
target_link_libraries(window_tests PRIVATE solvara_test_support solvara_warnings)
gtest_discover_tests(window_tests
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
  DISCOVERY_TIMEOUT 30
  DISCOVERY_EXTRA_ARGS -platform offscreen)
# Captions fit their labels at a fractional display scale and at twice the size.
foreach(scale IN ITEMS 1.5 2)
  add_test(NAME scale_${scale}.FontsColourAndCaptionsFit COMMAND window_tests --gtest_filter=*CaptionsFit*)
  set_tests_properties(scale_${scale}.FontsColourAndCaptionsFit
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=${scale}")
endforeach()
# ... at a larger font resolution with the layout left unscaled, as users set
# it to avoid blurry fractional scaling,
add_test(NAME font_dpi_144.CaptionsFit COMMAND window_tests --gtest_filter=*CaptionsFit*)
set_tests_properties(font_dpi_144.CaptionsFit PROPERTIES ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen;QT_ENABLE_HIGHDPI_SCALING=0;QT_FONT_DPI=144")
# ... and on a machine without narrow faces, where the window's face is fitted.
add_test(NAME without_narrow_faces.FontsColourAndCaptionsFit COMMAND window_tests --gtest_filter=*CaptionsFit*)
set_tests_properties(without_narrow_faces.FontsColourAndCaptionsFit PROPERTIES ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen;SOLVARA_WITHOUT_NARROW_FACES=1;FONTCONFIG_FILE=${CMAKE_CURRENT_SOURCE_DIR}/without_narrow_faces.conf")

add_executable(print_tests altitude_page_test.cpp print_server_test.cpp)
target_link_libraries(print_tests PRIVATE solvara_test_support solvara_cups solvara_warnings)
gtest_discover_tests(print_tests
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
  DISCOVERY_TIMEOUT 30
  DISCOVERY_EXTRA_ARGS -platform offscreen)

# "Stampa" on the real window, through the print helper, against fake servers
# that keep it waiting in every way; a name that resolves slowly comes from a
# getaddrinfo preloaded into the helper.
add_library(slow_resolver MODULE slow_resolver.cpp)
target_link_libraries(slow_resolver PRIVATE solvara_warnings ${CMAKE_DL_LIBS})
# A window in a process of its own, for the tests that end it from outside.
add_executable(printing_window printing_window.cpp)
target_link_libraries(printing_window PRIVATE solvara_ui solvara_warnings)
add_executable(window_print_tests print_window_test.cpp)
add_dependencies(window_print_tests slow_resolver printing_window)
target_link_libraries(window_print_tests PRIVATE solvara_test_support solvara_warnings)
target_compile_definitions(window_print_tests PRIVATE
  SOLVARA_SLOW_RESOLVER="$<TARGET_FILE:slow_resolver>"
  SOLVARA_PRINTING_WINDOW="$<TARGET_FILE:printing_window>")
gtest_discover_tests(window_print_tests
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 60
  DISCOVERY_TIMEOUT 30
  DISCOVERY_EXTRA_ARGS -platform offscreen)

# The rest drives whole systems (a CUPS server, X servers, the package) and
# is left out of the sanitizer build.
if(NOT SOLVARA_SYSTEM_TESTS)
  return()
endif()

# End to end through a real CUPS server with a PDF queue as the default
# printer; the fixture starts and stops it.
set(SOLVARA_CUPS_STATE ${CMAKE_BINARY_DIR}/cups-test)
add_test(NAME cups_printer_start
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/cups-test-printer.sh start ${SOLVARA_CUPS_STATE})
add_test(NAME cups_printer_stop
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/cups-test-printer.sh stop ${SOLVARA_CUPS_STATE})
set_tests_properties(cups_printer_start PROPERTIES FIXTURES_SETUP cups_printer)
set_tests_properties(cups_printer_stop PROPERTIES FIXTURES_CLEANUP cups_printer)

add_executable(print_e2e_tests print_e2e_test.cpp)
target_link_libraries(print_e2e_tests PRIVATE solvara_test_support solvara_warnings)
target_compile_definitions(print_e2e_tests PRIVATE SOLVARA_CUPS_STATE="${SOLVARA_CUPS_STATE}")
gtest_discover_tests(print_e2e_tests
  PROPERTIES
    FIXTURES_REQUIRED cups_printer
    RESOURCE_LOCK cups_printer
    TIMEOUT 120
  DISCOVERY_TIMEOUT 30
  DISCOVERY_EXTRA_ARGS -platform offscreen)

# The table copied in a real X session, read back from the X clipboard by
# another program.
add_test(NAME x11_clipboard.CopiesTheTableAsShown
  COMMAND xvfb-run -a $<TARGET_FILE:window_tests> --gtest_filter=*CopiesTheTableAsShown)
set_tests_properties(x11_clipboard.CopiesTheTableAsShown
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb" TIMEOUT 60)

# The built program in a real X window under Xvfb: alone, framed by three
# window managers (KWin with its Breeze frame), on two monitors with the
# pointer on the right one, and on a 1366x768 screen at display scale 1.5.
foreach(run IN ITEMS "" openbox metacity kwin_x11 openbox:two-monitors openbox:small-screen)
  string(REPLACE ":" ";" args "${run}")
  string(REPLACE ":" "_" suffix "${run}")
  string(JOIN _ name xvfb_smoke ${suffix})
  add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/xvfb-smoke.sh $<TARGET_FILE:solvara>
                                ${CMAKE_BINARY_DIR}/screenshots 0 ${args})
  set_tests_properties(${name} PROPERTIES TIMEOUT 60)
endforeach()

# The installed tree as a desktop sees it, and the Debian packages built,
# checked by lintian and unpacked.
add_test(NAME install_and_package
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/install-check.sh ${CMAKE_BINARY_DIR})
set_tests_properties(install_and_package PROPERTIES TIMEOUT 900)

# The README's pictures come from the program and are redrawn by one command.
add_test(NAME readme_pictures
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-pictures.sh ${CMAKE_BINARY_DIR})
