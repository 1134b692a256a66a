# A drawing that does not load gives no DXF, in each of the four formats,
# on drawings written by the fixture writers of tests/drawing.
if(TARGET tessa_jww_fixture AND TARGET tessa_jwc_fixture)
  add_executable(driver_rulings_tests ${CMAKE_CURRENT_LIST_DIR}/rulings_driver_test.cpp)
  target_link_libraries(driver_rulings_tests PRIVATE
    tessa_driver tessa_jww_fixture tessa_jwc_fixture tessa_test_support GTest::gtest_main)
  gtest_discover_tests(driver_rulings_tests DISCOVERY_TIMEOUT 60)
endif()
