# core sources of labelprinter/
