# The sheet layouts: the barcode lists, the laser sheets, the four-lane stock
# and the address labels, with the page grids and headers they share.
target_sources(tarvel_core PRIVATE
  sheets/AdressLabels.cpp
  sheets/LaserLabel.cpp
  sheets/LaserLabels.cpp
  sheets/LaserLabels4Bahn.cpp
  sheets/ListPage.cpp
  sheets/Liste.cpp
  sheets/SheetPlace.cpp
  sheets/TextCut.cpp
)
