# Tests of the DXF model and the conversion set-up, without the writer.
add_executable(dxf_model_tests
  ${CMAKE_CURRENT_LIST_DIR}/model_names_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/model_layer_names_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/model_entities_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/model_layout_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/model_extents_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/setup_mappings_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/setup_tally_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/setup_content_test.cpp
)
target_link_libraries(dxf_model_tests PRIVATE tessa_dxf_model GTest::gtest_main)
gtest_discover_tests(dxf_model_tests)
