# The link through a real ser2net (raw TCP and RFC 2217, server defaults)
# beside the local pseudo-terminal: figures printed, no assertions.
add_executable(bench_net ${CMAKE_CURRENT_LIST_DIR}/bench_net.cpp ${CMAKE_SOURCE_DIR}/tests/support/Ser2net.cpp)
target_include_directories(bench_net PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
target_link_libraries(bench_net PRIVATE tarvo_link tarvo_sim)
