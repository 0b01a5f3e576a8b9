# The command-file processor: idle tick cost and a 10,000-line PLU list on a
# paced line, from the file's appearance to its result (figures printed).
add_executable(bench_online ${CMAKE_CURRENT_LIST_DIR}/bench_online.cpp)
target_link_libraries(bench_online PRIVATE tarvo_online tarvo_sim)
