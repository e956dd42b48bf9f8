# Faults and load: hostile article files, a jobs folder that cannot be written.
target_sources(tarvel_testsupport PRIVATE support/CountingBackend.cpp support/ProcessMemory.cpp
                                          support/LockedFolder.cpp)

tarvel_test(article_faults TIMEOUT 600)
tarvel_test(jobs_folder_faults UI)

# The automation server on a private session bus, under load and faults;
# label_client is the client program the tests start, and kill.
add_executable(label_client label_client.cpp)
target_link_libraries(label_client PRIVATE Qt6::DBus)
foreach(name server_load server_faults)
  tarvel_test(${name} UI TIMEOUT 900)
  target_sources(tst_${name} PRIVATE support/PrivateBus.cpp)
  target_compile_definitions(tst_${name} PRIVATE
    TARVEL_PROGRAM="$<TARGET_FILE:tarvel>"
    TARVEL_SERVICE_FILES="${PROJECT_BINARY_DIR}/dbus-1/services"
    TARVEL_LABEL_CLIENT="$<TARGET_FILE:label_client>")
  add_dependencies(tst_${name} tarvel label_client)
endforeach()

# No code of ours starts a process or a shell: client and file data can never
# reach one. A source that would needs a review of its own, and this line.
add_test(NAME no_process_spawning
         COMMAND sh -c "! grep -rnE 'QProcess|(^|[^A-Za-z_:.>])(::)?system *\\(|std::system|popen *\\(|\\bexec[lv]p?e? *\\(|posix_spawn|\\bfork *\\(' '${PROJECT_SOURCE_DIR}/src'")
