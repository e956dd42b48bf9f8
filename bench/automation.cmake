# The automation server as a client on the same machine sees it.
add_executable(bench_automation bench_automation.cpp PrivateBus.cpp)
target_link_libraries(bench_automation PRIVATE Qt6::Core Qt6::DBus)
target_compile_definitions(bench_automation PRIVATE
  TARVEL_PROGRAM="$<TARGET_FILE:tarvel>"
  TARVEL_SERVICE_FILES="${PROJECT_BINARY_DIR}/dbus-1/services")
add_dependencies(bench_automation tarvel)
