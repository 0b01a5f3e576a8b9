# Programming only what changed, and verifying, on a big PLU table (figures printed).
add_executable(bench_changes ${CMAKE_CURRENT_LIST_DIR}/bench_changes.cpp)
target_link_libraries(bench_changes PRIVATE tarvo_editors tarvo_sim)
