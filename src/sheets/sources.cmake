# core sources of sheets/
