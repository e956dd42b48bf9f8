# The runs over an article file: the reader Datei, the label, laser and list
# runs, and the window's stored choices. Free of windows: the window and the
# command line "tarvel drucken" both print through them.
target_sources(tarvel_core PRIVATE
  runs/Util.cpp
  runs/Datei.cpp
  runs/DateiDruck.cpp
  runs/Befund.cpp
  runs/Pruefung.cpp
  runs/VorschauBackend.cpp
  runs/VorschauBild.cpp
  runs/Vorschau.cpp
  runs/GespeicherteWahl.cpp
)
