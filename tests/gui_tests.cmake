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

# Each test of a GoogleTest program as a ctest test, with its window
# offscreen; more test properties may follow.
function(discover_tests target)
  gtest_discover_tests(${target} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${ARGN}
    DISCOVERY_TIMEOUT 30 DISCOVERY_EXTRA_ARGS -platform offscreen)
endfunction()

add_executable(window_tests mainform_test.cpp centraform_test.cpp)
target_link_libraries(window_tests PRIVATE solvara_test_support solvara_warnings)
discover_tests(window_tests)
# Captions fit their labels, texts their boxes or else show whole in a tooltip,
# and every box reads clearly: at a fractional display scale and at twice the
# size; at a larger font resolution with the layout left unscaled, as users
# set it to avoid blurry fractional scaling; and on a machine without narrow
# faces, where the window's face is fitted.
foreach(run IN ITEMS "scale_1.5|QT_SCALE_FACTOR=1.5" "scale_2|QT_SCALE_FACTOR=2"
        "font_dpi_144|QT_ENABLE_HIGHDPI_SCALING=0\\;QT_FONT_DPI=144"
        "without_narrow_faces|SOLVARA_WITHOUT_NARROW_FACES=1\\;FONTCONFIG_FILE=${CMAKE_CURRENT_SOURCE_DIR}/without_narrow_faces.conf")
  string(REPLACE "|" ";" run "${run}")
  list(GET run 0 name)
  list(GET run 1 environment)
  add_test(NAME ${name}.FontsColourAndCaptionsFit COMMAND window_tests --gtest_filter=*CaptionsFit*)
  set_tests_properties(${name}.FontsColourAndCaptionsFit
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${environment}")
endforeach()

add_executable(print_tests altitude_page_test.cpp print_server_test.cpp)
target_link_libraries(print_tests PRIVATE solvara_test_support solvara_cups solvara_warnings)
discover_tests(print_tests)

# "Stampa" on the real window, through the print helper, against fake servers
# that keep it waiting in every way; a name that resolves slowly comes from a
# getaddrinfo preloaded into the helper.
add_library(slow_resolver MODULE slow_resolver.cpp)
target_link_libraries(slow_resolver PRIVATE solvara_warnings ${CMAKE_DL_LIBS})
# ... and the server's confirmation of the page, slow to be freed.
add_library(slow_confirmation MODULE slow_confirmation.cpp)
target_link_libraries(slow_confirmation PRIVATE solvara_warnings Cups::Cups ${CMAKE_DL_LIBS})
# A window in a process of its own, for the tests that end it from outside.
add_executable(printing_window printing_window.cpp)
target_link_libraries(printing_window PRIVATE solvara_ui solvara_warnings)
add_executable(window_print_tests print_window_test.cpp)
add_dependencies(window_print_tests slow_resolver slow_confirmation printing_window)
target_link_libraries(window_print_tests PRIVATE solvara_test_support solvara_warnings)
target_compile_definitions(window_print_tests PRIVATE
  SOLVARA_SLOW_RESOLVER="$<TARGET_FILE:slow_resolver>"
  SOLVARA_SLOW_CONFIRMATION="$<TARGET_FILE:slow_confirmation>"
  SOLVARA_PRINTING_WINDOW="$<TARGET_FILE:printing_window>")
discover_tests(window_print_tests TIMEOUT 60)

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
discover_tests(print_e2e_tests FIXTURES_REQUIRED cups_printer RESOURCE_LOCK cups_printer TIMEOUT 120)

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
