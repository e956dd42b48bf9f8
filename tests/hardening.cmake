# Faults and load: hostile article files, broken settings, a jobs folder that
# cannot be written.
target_sources(tarvel_testsupport PRIVATE support/CountingBackend.cpp support/ProcessMemory.cpp
                                          support/LockedFolder.cpp)

tarvel_test(article_faults TIMEOUT 600)
tarvel_test(settings_faults UI)
tarvel_test(jobs_folder_faults UI)
