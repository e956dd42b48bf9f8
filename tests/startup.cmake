# The command line "tarvel drucken": the built program, run as a user runs it.
tarvel_test(batch TIMEOUT 600)
target_compile_definitions(tst_batch PRIVATE TARVEL_BIN="$<TARGET_FILE:tarvel>")
add_dependencies(tst_batch tarvel)
