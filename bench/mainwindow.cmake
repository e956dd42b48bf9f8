# Laser and list runs of the main window, 1,000 and 10,000 records to PDF.
add_executable(bench_runs bench_runs.cpp)
target_link_libraries(bench_runs PRIVATE tarvel_core)
target_include_directories(bench_runs PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})

# The preview of a long file: first page, counting, the last page, peak memory.
add_executable(bench_vorschau bench_vorschau.cpp)
target_link_libraries(bench_vorschau PRIVATE tarvel_ui Qt6::Test)
target_include_directories(bench_vorschau PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
