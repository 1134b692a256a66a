# Conversion and extents details left open by the other drawing tests:
# the order of angle unit changes, layers past the table in the extents.
add_executable(drawing_rulings_tests
  ${CMAKE_CURRENT_LIST_DIR}/rulings_convert_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rulings_jwc_test.cpp
)
target_link_libraries(drawing_rulings_tests PRIVATE
  tessa_convert tessa_jww_fixture tessa_jwc_fixture GTest::gtest_main)
gtest_discover_tests(drawing_rulings_tests)
