# Numbers, the settings store (also the window and the setup dialog on a broken
# settings file), the printer surface and a jobs folder that cannot be written.
target_sources(tarvel_testsupport PRIVATE support/LockedFolder.cpp)
tarvel_test(numbers)
tarvel_test(settings UI)
tarvel_test(printer)
tarvel_test(jobs_folder_faults UI)

# No code of ours starts a process or a shell: client and file data can never
# reach one. A source that would needs a review of its own, and this line.
add_test(NAME no_process_spawning
         COMMAND sh -c "! grep -rnE 'QProcess|(^|[^A-Za-z_:.>])(::)?system *\\(|std::system|popen *\\(|\\bexec[lv]p?e? *\\(|posix_spawn|\\bfork *\\(' '${PROJECT_SOURCE_DIR}/src'")

# Printing to a real CUPS: starts (and in one case stops) the scheduler.
tarvel_test(cups TIMEOUT 180)
set_tests_properties(cups PROPERTIES RUN_SERIAL TRUE)

# The label printers shops own (ZPL, DYMO LabelWriter, Brother QL, IPP Everywhere), each
# through Debian's own CUPS driver to a listener that decodes the printer's bytes: the
# command line and the automation server print labels that decode, at the media's size,
# in whole dots, or refuse what does not fit before anything reaches the printer.
add_executable(barcodes_lesen support/barcodes_lesen.cpp)
target_link_libraries(barcodes_lesen PRIVATE tarvel_testsupport Qt6::Gui)
add_test(NAME label_printer COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/cups/tst_label_printer.sh ${PROJECT_BINARY_DIR})
set_tests_properties(label_printer PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
