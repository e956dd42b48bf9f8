# window sources of mainwindow/
target_sources(tarvel_ui PRIVATE
  mainwindow/Quelm.cpp
)
