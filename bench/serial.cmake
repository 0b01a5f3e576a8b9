# The serial component over a pseudo-terminal: hand-over latency, a frame's
# round trip, write throughput and idle CPU (figures printed, no assertions).
# The pseudo-terminal is the tests' own helper, which reports through GoogleTest.
add_executable(bench_serial ${CMAKE_CURRENT_LIST_DIR}/bench_serial.cpp)
target_include_directories(bench_serial PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
target_link_libraries(bench_serial PRIVATE tarvo_serial benchmark::benchmark GTest::gtest util)
