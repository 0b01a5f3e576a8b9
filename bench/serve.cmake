# The HTTP service: its own time to the register, reads under a load of
# GETs, two registers at once (figures printed).
add_executable(bench_serve ${CMAKE_CURRENT_LIST_DIR}/bench_serve.cpp)
target_link_libraries(bench_serve PRIVATE tarvo_serve tarvo_sim PkgConfig::CPPHTTPLIB)
