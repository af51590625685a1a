# The .x mesh reader behind D3DX8::LoadMeshFromX.
qv_fuzz(fuzz_mesh LIBS qv_d3dx8 SOURCES ${CMAKE_CURRENT_LIST_DIR}/mesh_fuzz.cpp)
