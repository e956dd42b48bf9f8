# Code 128: symbols against the standard's examples, and bars decoded from rendered pages.
tarvel_test(code128)
tarvel_test(barcode_decode)
