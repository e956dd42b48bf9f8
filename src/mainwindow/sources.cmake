# core sources of mainwindow/: the article file reader and the print runs
target_sources(tarvel_core PRIVATE
  mainwindow/Util.cpp
  mainwindow/Datei.cpp
  mainwindow/DateiDruck.cpp
  mainwindow/GespeicherteWahl.cpp
)
