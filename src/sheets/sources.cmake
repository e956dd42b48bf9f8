# The sheet layouts: the barcode lists, the laser sheets, the four-lane stock
# and the address labels, with the page grids and headers they share; and the
# layouts of the main window's runs over an article file (Datei...).
target_sources(tarvel_core PRIVATE
  sheets/AdressLabels.cpp
  sheets/Artikel.cpp
  sheets/DateiLabel.cpp
  sheets/DateiLaserLabels.cpp
  sheets/DateiLayout.cpp
  sheets/DateiListe.cpp
  sheets/LabelClip.cpp
  sheets/LaserLabel.cpp
  sheets/LaserLabels.cpp
  sheets/LaserLabels4Bahn.cpp
  sheets/ListPage.cpp
  sheets/Liste.cpp
  sheets/SheetPlace.cpp
  sheets/TextCut.cpp
)
