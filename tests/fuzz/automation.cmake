# The automation interface over a peer-to-peer D-Bus connection.
tarvel_fuzz(automation LIBS tarvel_ui)
