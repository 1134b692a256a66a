# JWW/JWS model and readers, on drawings laid out by the fixture writer and
# on the real drawings of the samples folder.
add_library(tessa_jww_fixture STATIC ${CMAKE_CURRENT_LIST_DIR}/JwwFixtureWriter.cpp)
target_link_libraries(tessa_jww_fixture PUBLIC tessa_drawing tessa_util)
target_include_directories(tessa_jww_fixture PUBLIC ${CMAKE_CURRENT_LIST_DIR})

# The drawing shipped as examples/sample.jww.
add_library(tessa_jww_sample STATIC ${CMAKE_CURRENT_LIST_DIR}/jww_sample_drawing.cpp)
target_link_libraries(tessa_jww_sample PUBLIC tessa_jww_fixture)
add_executable(jww_make_sample ${CMAKE_CURRENT_LIST_DIR}/jww_make_sample.cpp)
target_link_libraries(jww_make_sample PRIVATE tessa_jww_sample)

add_executable(jww_reader_tests
  ${CMAKE_CURRENT_LIST_DIR}/jww_reader_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jww_strings_tags_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jww_blocktree_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jww_images_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jww_samples_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jww_fuzz_test.cpp
)
target_link_libraries(jww_reader_tests PRIVATE tessa_jww_sample tessa_test_support ZLIB::ZLIB
  GTest::gtest_main)
target_compile_definitions(jww_reader_tests PRIVATE TESSA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(jww_reader_tests DISCOVERY_TIMEOUT 60)
