# Printing to a real CUPS: starts (and in one case stops) the scheduler.
tarvel_test(cups TIMEOUT 180)
set_tests_properties(cups PROPERTIES RUN_SERIAL TRUE)
