# Drawing tests of the D3DX stand-in: text and meshes on the software device.
qv_test(d3dx8_text_render LIBS qv_d3dx8 SOURCES ${CMAKE_CURRENT_LIST_DIR}/d3dx8_text_render.cpp)
target_include_directories(d3dx8_text_render PRIVATE ${STB_INCLUDE_DIR})
qv_test(d3dx8_mesh_render LIBS qv_d3dx8 SOURCES ${CMAKE_CURRENT_LIST_DIR}/d3dx8_mesh_render.cpp)
target_include_directories(d3dx8_mesh_render PRIVATE ${STB_INCLUDE_DIR})
