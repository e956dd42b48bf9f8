add_executable(bench_drucke bench_drucke.cpp)
target_link_libraries(bench_drucke PRIVATE tarvel_core)
target_include_directories(bench_drucke PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})

add_executable(bench_coldstart bench_coldstart.cpp)
target_link_libraries(bench_coldstart PRIVATE Qt6::Core)
target_include_directories(bench_coldstart PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(bench_coldstart PRIVATE TARVEL_PROGRAM="$<TARGET_FILE:tarvel>")
add_dependencies(bench_coldstart tarvel)
