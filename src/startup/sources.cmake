target_sources(tarvel PRIVATE startup/main.cpp)
