# window sources of mainwindow/
