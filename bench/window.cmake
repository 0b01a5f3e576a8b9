# The register's view of a PLU read and verify from the command line's logic and from the window (figures printed).
add_executable(bench_window ${CMAKE_CURRENT_LIST_DIR}/bench_window.cpp)
target_link_libraries(bench_window PRIVATE tarvo_editors_ui tarvo_editors tarvo_reports tarvo_ui tarvo_sim)
