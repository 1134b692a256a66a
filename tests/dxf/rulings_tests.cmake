# Writer details left open by the other writer tests.  Its files land in
# the writer's output folder, so the ezdxf audit reads them too.
add_executable(dxf_rulings_tests ${CMAKE_CURRENT_LIST_DIR}/rulings_writer_test.cpp)
target_link_libraries(dxf_rulings_tests PRIVATE tessa_dxf GTest::gtest_main)
target_include_directories(dxf_rulings_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(dxf_rulings_tests PRIVATE
  TESSA_WRITER_OUT_DIR="${TESSA_WRITER_OUT_DIR}")
gtest_discover_tests(dxf_rulings_tests
  PROPERTIES FIXTURES_SETUP dxf_writer_files)
