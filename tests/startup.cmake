# The command line "tarvel drucken": the built program, run as a user runs it.
tarvel_test(batch TIMEOUT 600)
target_compile_definitions(tst_batch PRIVATE TARVEL_BIN="$<TARGET_FILE:tarvel>")
add_dependencies(tst_batch tarvel)

# Installation into a temporary prefix, and an activation from the installed files.
add_test(NAME install COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/install/tst_install.sh ${PROJECT_BINARY_DIR})
set_tests_properties(install PROPERTIES TIMEOUT 120)

# The client examples (shell, Python, Qt) on a private bus.
add_test(NAME examples COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/examples/tst_examples.sh ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR})
set_tests_properties(examples PROPERTIES TIMEOUT 180)
