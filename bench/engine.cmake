# Frames of the maze worlds drawn through the engine's own lists and Render, next to the same
# worlds drawn with bare device calls (device_bench.cpp) in the same program, for comparison.
qv_bench(engine_bench LIBS qv_engine qv_d3d8 qv_d3dx8 qv_win32 qv_runtime
         SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/engine_bench.cpp ${CMAKE_CURRENT_SOURCE_DIR}/device_bench.cpp)
