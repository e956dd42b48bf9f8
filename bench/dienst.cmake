# The print service for web tills as a till on the same machine sees it.
add_executable(bench_dienst bench_dienst.cpp)
target_link_libraries(bench_dienst PRIVATE Qt6::Core)
target_compile_definitions(bench_dienst PRIVATE TARVEL_PROGRAM="$<TARGET_FILE:tarvel>")
add_dependencies(bench_dienst tarvel)
