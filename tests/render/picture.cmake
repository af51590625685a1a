# Frames shrunk into a picture box by the window run time, compared with ref/picture_*.png.
qv_test(picture_shrink_render LIBS qv_win32 qv_d3dx8 SOURCES ${CMAKE_CURRENT_LIST_DIR}/picture_shrink_render.cpp)
target_include_directories(picture_shrink_render PRIVATE ${STB_INCLUDE_DIR})
