# The object-file reader, plain and scrambled, and the animation step on what it read.
qv_fuzz(fuzz_object LIBS qv_engine
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/object_fuzz.cpp)
