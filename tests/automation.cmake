# The automation server: its objects on the recording printer (application),
# the server in this process over a peer-to-peer connection (automation_bus),
# and the server process started by activation on a private bus (server_faults).
tarvel_test(application UI)
tarvel_test(automation_bus UI)
add_test(NAME server_faults COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/tst_server_faults.py ${PROJECT_BINARY_DIR})
set_tests_properties(server_faults PROPERTIES TIMEOUT 180)
