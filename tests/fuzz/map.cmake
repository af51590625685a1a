# The world map reader and the number rule. Built from the sources it needs, so that it does not
# wait for the rest of the program.
qv_fuzz(fuzz_map LIBS qv_runtime
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/map_fuzz.cpp
                ${CMAKE_SOURCE_DIR}/app/world_map.cpp
                ${CMAKE_SOURCE_DIR}/app/state.cpp
                ${CMAKE_SOURCE_DIR}/engine/text_fields.cpp)
