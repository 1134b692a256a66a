# Start-up, settings file and choice of format, tested in-process.
add_executable(driver_settings_tests
  ${CMAKE_CURRENT_LIST_DIR}/settings_test.cpp
)
target_link_libraries(driver_settings_tests PRIVATE tessa_driver tessa_test_support GTest::gtest_main)
gtest_discover_tests(driver_settings_tests DISCOVERY_TIMEOUT 60)

# The built program run as its parent runs it: a separate process with its
# own settings file beside it.
if(WIN32)
  tessa_skipped_test(driver_process_tests
    "runs tessaconv as a child with POSIX process control (fork, exec, waitpid)")
  return()
endif()

add_executable(driver_process_tests
  ${CMAKE_CURRENT_LIST_DIR}/process_test.cpp
)
target_link_libraries(driver_process_tests PRIVATE tessa_util tessa_test_support GTest::gtest_main)
target_compile_definitions(driver_process_tests PRIVATE
  TESSACONV_PATH="$<TARGET_FILE:tessaconv>"
  TESSA_EXAMPLE_JWW="${CMAKE_SOURCE_DIR}/examples/sample.jww")
add_dependencies(driver_process_tests tessaconv)
gtest_discover_tests(driver_process_tests DISCOVERY_TIMEOUT 60)
