# Reading a large world and building its walls.
qv_bench(bench_map LIBS qv_runtime
         SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/map_bench.cpp
                 ${CMAKE_SOURCE_DIR}/app/world_map.cpp
                 ${CMAKE_SOURCE_DIR}/app/walls.cpp
                 ${CMAKE_SOURCE_DIR}/engine/text_fields.cpp
                 ${CMAKE_SOURCE_DIR}/engine/geometry.cpp)
