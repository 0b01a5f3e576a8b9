# The PLU editor: its logic, end to end against the simulator, its window and
# its tarvoctl subcommand.
add_executable(plu_editor_tests
  ${CMAKE_SOURCE_DIR}/tests/support/WindowTestMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PluTestProject.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PluLogicTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PluRegisterTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PluWindowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PluCliTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PluChangesTest.cpp)
target_include_directories(plu_editor_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
target_link_libraries(plu_editor_tests PRIVATE tarvo_editors_ui tarvo_sim Qt6::Test GTest::gtest)
add_dependencies(plu_editor_tests tarvoctl)
target_compile_definitions(plu_editor_tests PRIVATE TARVOCTL_PATH="$<TARGET_FILE:tarvoctl>")
gtest_discover_tests(plu_editor_tests DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 120 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
