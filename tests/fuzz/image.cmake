# The image reader behind D3DX8::CreateTextureFromFileEx.
qv_fuzz(fuzz_image LIBS qv_d3dx8 SOURCES ${CMAKE_CURRENT_LIST_DIR}/image_fuzz.cpp)
