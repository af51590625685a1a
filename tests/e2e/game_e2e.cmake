# The whole program, driven like a person: menu, world selection, a walk, Escape.
qv_test(game_e2e_test LIBS qv_e2e_harness SOURCES ${CMAKE_CURRENT_LIST_DIR}/game_e2e_test.cpp)
target_compile_definitions(game_e2e_test PRIVATE QV_PROGRAM="$<TARGET_FILE:quorvane>")
add_dependencies(game_e2e_test quorvane)
