qv_bench(game_bench LIBS qv_app SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/game_bench.cpp)
# The run loads its textures from the data folder beside the program.
add_custom_command(TARGET game_bench POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E create_symlink ${CMAKE_SOURCE_DIR}/Data $<TARGET_FILE_DIR:game_bench>/Data)
