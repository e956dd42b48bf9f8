# The automation server: the Application and AdressLabels objects, their D-Bus
# adaptors and the server.
target_sources(tarvel_ui PRIVATE
  automation/AdressLabelsAdaptor.cpp
  automation/AdressLabelsObject.cpp
  automation/Application.cpp
  automation/ApplicationAdaptor.cpp
  automation/AutomationProcess.cpp
  automation/AutomationServer.cpp
  automation/CallerTracker.cpp
  automation/CallQueue.cpp
  automation/ClassRegistry.cpp
  automation/DBusInterface.cpp
  automation/ObjectNumbers.cpp
  automation/Variants.cpp
)
# Settings that only the tests use (AutomationProcess::callerGrace); a build
# without the tests has none of them.
if(TARVEL_BUILD_TESTS)
  target_compile_definitions(tarvel_ui PRIVATE TARVEL_TEST_KNOBS)
endif()

# Activation files: the session bus starts "tarvel --automation" for either name.
# The build tree gets them for the tests; the installed ones are written at
# install time, so that Exec names the program where it was really installed
# (also with "cmake --install --prefix DIR").
foreach(TARVEL_BUS_NAME Tarvel.Application Tarvel.AdressLabels)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/dbus-service.in
                 ${PROJECT_BINARY_DIR}/dbus-1/services/${TARVEL_BUS_NAME}.service @ONLY)
  install(CODE "
    set(services \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/dbus-1/services\")
    file(MAKE_DIRECTORY \"\${services}\")
    message(STATUS \"Installing: \${services}/${TARVEL_BUS_NAME}.service\")
    file(WRITE \"\${services}/${TARVEL_BUS_NAME}.service\"
      \"[D-BUS Service]\\nName=${TARVEL_BUS_NAME}\\nExec=\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tarvel --automation\\n\")
  ")
endforeach()
