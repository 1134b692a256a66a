# JWC and JWK readers and their extents, on fixtures laid out byte by byte.
add_library(tessa_jwc_fixture STATIC ${CMAKE_CURRENT_LIST_DIR}/JwcFixtureWriter.cpp)
target_link_libraries(tessa_jwc_fixture PUBLIC tessa_util)
target_include_directories(tessa_jwc_fixture PUBLIC ${CMAKE_CURRENT_LIST_DIR})

add_executable(jwc_reader_tests
  ${CMAKE_CURRENT_LIST_DIR}/jwc_reader_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jwk_reader_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jwc_extents_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jwc_fuzz_test.cpp
)
target_link_libraries(jwc_reader_tests PRIVATE tessa_drawing tessa_jwc_fixture GTest::gtest_main)
gtest_discover_tests(jwc_reader_tests)

# The DXF model they give.
add_executable(jwc_convert_tests ${CMAKE_CURRENT_LIST_DIR}/jwc_convert_test.cpp)
target_link_libraries(jwc_convert_tests PRIVATE tessa_convert tessa_jwc_fixture GTest::gtest_main)
gtest_discover_tests(jwc_convert_tests)

# Bytes to DXF files, checked by ezdxf (skipped when python3 lacks it).
if(WIN32)
  tessa_skipped_test(jwc_dxf_e2e_tests "reads its outputs back with the host's ezdxf (waitpid)")
  return()
endif()

add_executable(jwc_dxf_e2e_tests ${CMAKE_CURRENT_LIST_DIR}/jwc_dxf_e2e_test.cpp)
target_link_libraries(jwc_dxf_e2e_tests PRIVATE tessa_convert tessa_jwc_fixture GTest::gtest_main)
target_compile_definitions(jwc_dxf_e2e_tests PRIVATE
  JWC_EZDXF_SCRIPT="${CMAKE_CURRENT_LIST_DIR}/jwc_ezdxf_check.py")
gtest_discover_tests(jwc_dxf_e2e_tests)
