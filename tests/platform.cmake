# The settings store, and the window and the setup dialog on a broken settings file.
target_link_libraries(tst_settings PRIVATE tarvel_ui)

# Printing to a real CUPS: starts (and in one case stops) the scheduler.
tarvel_test(cups TIMEOUT 180)
set_tests_properties(cups PROPERTIES RUN_SERIAL TRUE)

# An automation job through the server to the same CUPS queue.
add_test(NAME automation_cups COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/cups/tst_automation_cups.sh ${PROJECT_BINARY_DIR})
set_tests_properties(automation_cups PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)

# A label printer with CUPS's stock ZPL driver on a socket: the command line and
# the automation server print labels that decode, at the media's size, in whole dots.
add_test(NAME label_printer COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/cups/tst_label_printer.sh ${PROJECT_BINARY_DIR})
set_tests_properties(label_printer PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
