# Keyboard focus on a bare X server: the whole program, keys typed without choosing a window.
qv_test(focus_e2e_test LIBS qv_e2e_harness SOURCES ${CMAKE_CURRENT_LIST_DIR}/focus_e2e_test.cpp)
target_compile_definitions(focus_e2e_test PRIVATE QV_PROGRAM="$<TARGET_FILE:quorvane>")
add_dependencies(focus_e2e_test quorvane)
