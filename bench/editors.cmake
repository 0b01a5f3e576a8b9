# The table editors' reads and programming runs at 57600 bit/s, and the
# event loop's longest stall while the departments window programs.
add_executable(bench_editors ${CMAKE_CURRENT_LIST_DIR}/bench_editors.cpp)
target_link_libraries(bench_editors PRIVATE tarvo_editors_ui tarvo_sim)
