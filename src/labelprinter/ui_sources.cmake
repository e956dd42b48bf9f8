# window sources of labelprinter/
