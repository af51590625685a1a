# The whole program, driven like a person: menu, world selection, a walk, Escape.
qv_test(game_e2e_test LIBS qv_e2e_harness SOURCES ${CMAKE_CURRENT_LIST_DIR}/game_e2e_test.cpp)
# The system's close command is sent to the game window through Xlib.
pkg_check_modules(E2E_X11 REQUIRED IMPORTED_TARGET x11)
target_link_libraries(game_e2e_test PRIVATE PkgConfig::E2E_X11)
target_compile_definitions(game_e2e_test PRIVATE QV_PROGRAM="$<TARGET_FILE:quorvane>")
add_dependencies(game_e2e_test quorvane)
