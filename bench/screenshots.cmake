# Not a benchmark: pictures of the editor windows against the simulator, for
# a person to look at (`screenshots DIR`).
add_executable(screenshots ${CMAKE_CURRENT_LIST_DIR}/screenshots.cpp)
target_link_libraries(screenshots PRIVATE tarvo_editors_ui tarvo_editors tarvo_ui tarvo_sim)
