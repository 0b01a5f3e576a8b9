# The PLU editor and the scale files on big tables (figures printed).
add_executable(bench_plu ${CMAKE_CURRENT_LIST_DIR}/bench_plu.cpp)
target_link_libraries(bench_plu PRIVATE tarvo_editors tarvo_scales tarvo_ui tarvo_sim)
