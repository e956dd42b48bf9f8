target_sources(tarvel PRIVATE
  startup/main.cpp
  startup/BatchDruck.cpp
  startup/Dienst.cpp
  startup/DruckOptionen.cpp
  startup/DruckerListe.cpp
)
# "tarvel --version" answers with the project's version.
target_compile_definitions(tarvel PRIVATE TARVEL_VERSION="${PROJECT_VERSION}")
