# extents tests: containers filled in memory, and drawings read back from
# files of the fixture writer (configured in jww_tests.cmake).
add_executable(drawing_extents_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/extents_jww_test.cpp
)
target_link_libraries(drawing_extents_tests PRIVATE tessa_drawing GTest::gtest_main)
if(TARGET tessa_jww_fixture)
  target_sources(drawing_extents_tests PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/extents_jww_file_test.cpp)
  target_link_libraries(drawing_extents_tests PRIVATE tessa_jww_fixture tessa_test_support)
endif()
gtest_discover_tests(drawing_extents_tests)
