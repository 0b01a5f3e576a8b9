# The link against the simulator over a pseudo-terminal (figures printed, no
# assertions), and the framing functions under Google Benchmark.
add_executable(bench_link ${CMAKE_CURRENT_LIST_DIR}/bench_link.cpp)
target_link_libraries(bench_link PRIVATE tarvo_link tarvo_sim)

add_executable(bench_frame ${CMAKE_CURRENT_LIST_DIR}/bench_frame.cpp)
target_link_libraries(bench_frame PRIVATE tarvo_frame benchmark::benchmark)
