# Whole conversions through the conversion context: on several threads at
# once, and one after another in the same context.
find_package(Threads REQUIRED)
add_executable(drawing_context_tests
  ${CMAKE_CURRENT_LIST_DIR}/context_threads_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/context_state_test.cpp
)
target_link_libraries(drawing_context_tests PRIVATE
  tessa_convert tessa_jww_fixture tessa_jwc_fixture tessa_test_support Threads::Threads
  GTest::gtest_main)
target_compile_definitions(drawing_context_tests PRIVATE
  TESSA_SAMPLES_DIR="${TESSA_SAMPLES_DIR}")
gtest_discover_tests(drawing_context_tests DISCOVERY_TIMEOUT 60)
