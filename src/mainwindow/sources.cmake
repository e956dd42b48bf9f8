# The main window "Barcode drucken".
target_sources(tarvel_ui PRIVATE mainwindow/Quelm.cpp)
