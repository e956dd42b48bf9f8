# The print service for web tills ("tarvel dienst"): HTTP on the loopback
# addresses, its access rules and the adaptor onto the automation objects.
find_package(Qt6 REQUIRED COMPONENTS Network)
target_link_libraries(tarvel_ui PUBLIC Qt6::Network)
target_sources(tarvel_ui PRIVATE
  web/AuftragsListe.cpp
  web/CupsAuftragsZustand.cpp
  web/DienstToken.cpp
  web/DruckApi.cpp
  web/DruckerStatus.cpp
  web/EtikettenAdaptor.cpp
  web/Herkuenfte.cpp
  web/HttpConnection.cpp
  web/HttpRequestParser.cpp
  web/HttpResponse.cpp
  web/WebServer.cpp
  web/Zugang.cpp
)

# The systemd user unit, beside the bus's activation files: written at install
# time so that ExecStart names the program where it was really installed.
install(CODE "
  set(units \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/user\")
  file(MAKE_DIRECTORY \"\${units}\")
  message(STATUS \"Installing: \${units}/tarvel-dienst.service\")
  file(READ \"${CMAKE_CURRENT_LIST_DIR}/tarvel-dienst.service.in\" unit)
  string(REPLACE \"@TARVEL@\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tarvel\" unit \"\${unit}\")
  file(WRITE \"\${units}/tarvel-dienst.service\" \"\${unit}\")
")
