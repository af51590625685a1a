qv_bench(device_bench LIBS qv_d3d8 qv_d3dx8 SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/device_bench.cpp)
