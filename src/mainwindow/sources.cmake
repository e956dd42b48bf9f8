# The main window "Barcode drucken" and the pages of its preview.
target_sources(tarvel_ui PRIVATE mainwindow/Quelm.cpp mainwindow/VorschauSeiten.cpp)
