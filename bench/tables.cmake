# Load and save of a 100,000-row PLU table, with the memory it takes.
add_executable(bench_tables ${CMAKE_CURRENT_LIST_DIR}/bench_tables.cpp)
target_link_libraries(bench_tables PRIVATE tarvo_tables)
