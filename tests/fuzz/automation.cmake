# The automation interface over a peer-to-peer D-Bus connection.
tarvel_fuzz(automation LIBS tarvel_ui)
target_sources(fuzz_automation PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/../support/PeerServer.cpp)
target_include_directories(fuzz_automation PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/..)
