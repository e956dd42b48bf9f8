# Faults and load: hostile article files, broken settings, a jobs folder that
# cannot be written.
target_sources(tarvel_testsupport PRIVATE support/CountingBackend.cpp support/ProcessMemory.cpp
                                          support/LockedFolder.cpp)

tarvel_test(settings_faults UI)
tarvel_test(jobs_folder_faults UI)

# No code of ours starts a process or a shell: client and file data can never
# reach one. A source that would needs a review of its own, and this line.
add_test(NAME no_process_spawning
         COMMAND sh -c "! grep -rnE 'QProcess|(^|[^A-Za-z_:.>])(::)?system *\\(|std::system|popen *\\(|\\bexec[lv]p?e? *\\(|posix_spawn|\\bfork *\\(' '${PROJECT_SOURCE_DIR}/src'")
