# Sheet layouts and the pickup slip: grids, pages and cutting on the recording
# backend, and whole jobs through the PDF printer.
target_sources(tarvel_testsupport PRIVATE support/RecordedJob.cpp)

tarvel_test(sheet_grids)
tarvel_test(sheets_pdf TIMEOUT 300)
