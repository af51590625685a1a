# The first frame of a run on a small world from two start cells, through the whole program.
qv_test(game_first_frame WITH_DATA LIBS qv_app
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/game_first_frame.cpp ${CMAKE_SOURCE_DIR}/tests/unit/game/run_fixture.cpp)
target_include_directories(game_first_frame PRIVATE ${STB_INCLUDE_DIR})
