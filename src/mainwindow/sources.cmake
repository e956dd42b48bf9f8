# core sources of mainwindow/
