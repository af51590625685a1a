# Frames with meshes drawn by the engine's Render at their placements.
qv_test(objects_mesh_render LIBS qv_engine SOURCES ${CMAKE_CURRENT_LIST_DIR}/objects_mesh_render.cpp)
target_include_directories(objects_mesh_render PRIVATE ${STB_INCLUDE_DIR})
