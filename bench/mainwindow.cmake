# Laser and list runs of the main window, 1,000 and 10,000 records to PDF.
add_executable(bench_runs bench_runs.cpp)
target_link_libraries(bench_runs PRIVATE tarvel_core)
target_include_directories(bench_runs PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
