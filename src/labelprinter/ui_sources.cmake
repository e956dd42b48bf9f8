# window sources of labelprinter/
target_sources(tarvel_ui PRIVATE labelprinter/SetupFrm.cpp)
