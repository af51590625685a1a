# The first frame of a run on a small world from two start cells, through the whole program.
qv_test(game_first_frame LIBS qv_app
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/game_first_frame.cpp ${CMAKE_SOURCE_DIR}/tests/unit/game/run_fixture.cpp)
target_include_directories(game_first_frame PRIVATE ${STB_INCLUDE_DIR})
add_custom_command(TARGET game_first_frame POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E create_symlink ${CMAKE_SOURCE_DIR}/Data $<TARGET_FILE_DIR:game_first_frame>/Data)
