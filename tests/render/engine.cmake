# Whole frames drawn by the engine's Render: wall blocks, floor, ceiling, an overlay, a label.
qv_test(engine_frame_render LIBS qv_app qv_engine SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine_frame_render.cpp)
target_include_directories(engine_frame_render PRIVATE ${STB_INCLUDE_DIR})
