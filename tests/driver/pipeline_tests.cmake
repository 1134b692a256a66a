# pipeline tests: the load pipelines on drawings written by the fixture
# writers of tests/drawing (configured before this folder).
if(TARGET tessa_jww_fixture AND TARGET tessa_jwc_fixture)
  add_executable(driver_pipeline_tests ${CMAKE_CURRENT_LIST_DIR}/pipeline_test.cpp)
  target_link_libraries(driver_pipeline_tests PRIVATE
    tessa_driver tessa_jww_fixture tessa_jwc_fixture tessa_test_support GTest::gtest_main)
  gtest_discover_tests(driver_pipeline_tests DISCOVERY_TIMEOUT 60)
endif()
