# core sources of sheets/
target_sources(tarvel_core PRIVATE
  sheets/AdressLabels.cpp
  sheets/LaserLabels.cpp
  sheets/LaserLabels4Bahn.cpp
  sheets/Liste.cpp
  sheets/SheetPlace.cpp
  sheets/TextCut.cpp
)
