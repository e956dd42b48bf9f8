# The article file reader and the print runs of the article file.
tarvel_test(datei)
tarvel_test(runs)
