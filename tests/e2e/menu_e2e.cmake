# The program's menu windows end to end (included from this folder's CMakeLists.txt).
qv_test(menu_e2e_test LIBS qv_e2e_harness qv_app SOURCES menu_e2e_test.cpp)
target_compile_definitions(menu_e2e_test PRIVATE QV_PROGRAM="$<TARGET_FILE:quorvane>")
add_dependencies(menu_e2e_test quorvane)
