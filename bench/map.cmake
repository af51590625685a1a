# Reading a large world and building its walls.
qv_bench(bench_map LIBS qv_app SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/map_bench.cpp)
