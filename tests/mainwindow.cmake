# The main window.
tarvel_test(quelm UI)
