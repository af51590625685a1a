# Scenes drawn by the Direct3D stand-in, compared with the reference images ref/d3d8_*.png.
qv_test(d3d8_render LIBS qv_d3d8 qv_d3dx8 SOURCES ${CMAKE_CURRENT_LIST_DIR}/d3d8_render_test.cpp)
target_include_directories(d3d8_render PRIVATE ${STB_INCLUDE_DIR})
