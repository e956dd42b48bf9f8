# The automation objects on the recording printer, the server in this process over a
# peer-to-peer connection, and the server process started by activation on a private bus.
tarvel_test(application UI)
tarvel_test(automation_bus UI)
add_test(NAME server_faults COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/tst_server_faults.py ${PROJECT_BINARY_DIR})
set_tests_properties(server_faults PROPERTIES TIMEOUT 180)
