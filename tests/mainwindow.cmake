# Tests of the main window, the article file reader and the print runs.
tarvel_test(datei)
tarvel_test(runs)
tarvel_test(quelm UI)
