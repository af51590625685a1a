# Shrinking a presented 640 x 480 frame into the game's 402 x 302 picture box.
qv_bench(picture_bench LIBS qv_win32 SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/picture_bench.cpp)
