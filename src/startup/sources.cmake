target_sources(tarvel PRIVATE
  startup/main.cpp
  startup/BatchDruck.cpp
  startup/DruckOptionen.cpp
)
