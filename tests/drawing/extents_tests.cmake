# extents tests
add_executable(drawing_extents_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/extents_jww_test.cpp
)
target_link_libraries(drawing_extents_tests PRIVATE tessa_drawing GTest::gtest_main)
gtest_discover_tests(drawing_extents_tests)
