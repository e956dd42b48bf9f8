# The automation server: the Application object, and the server
# on a private session bus, started through its activation files.
tarvel_test(application UI)
tarvel_test(automation_bus UI TIMEOUT 300)
target_sources(tst_automation_bus PRIVATE support/PrivateBus.cpp)
target_compile_definitions(tst_automation_bus PRIVATE
  TARVEL_PROGRAM="$<TARGET_FILE:tarvel>"
  TARVEL_SERVICE_FILES="${PROJECT_BINARY_DIR}/dbus-1/services")
add_dependencies(tst_automation_bus tarvel)
