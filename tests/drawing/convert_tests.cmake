# Conversion of JWW drawings and JWS symbols into the DXF model, on drawings
# built in memory with the fixture writer's helpers.
add_executable(drawing_convert_tests
  ${CMAKE_CURRENT_LIST_DIR}/convert_tables_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/convert_geometry_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/convert_text_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/convert_block_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/convert_view_test.cpp
)
target_link_libraries(drawing_convert_tests PRIVATE tessa_convert tessa_jww_fixture tessa_test_support
  GTest::gtest_main)
gtest_discover_tests(drawing_convert_tests)
