# Tests of the DXF writer.  Every DXF file they write lands in one folder,
# which the ezdxf audit below then reads as an independent DXF reader.
set(TESSA_WRITER_OUT_DIR ${CMAKE_CURRENT_BINARY_DIR}/writer_out)
file(MAKE_DIRECTORY ${TESSA_WRITER_OUT_DIR})

add_executable(dxf_writer_tests
  ${CMAKE_CURRENT_LIST_DIR}/writer_codes_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/writer_sections_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/writer_golden_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/writer_file_test.cpp
)
if(WIN32)
  tessa_skipped_test(dxf_writer_posix_tests
    "new files' permissions, and a disk filling in a forked child (fork, setrlimit, SIGXFSZ)")
else()
  target_sources(dxf_writer_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/writer_file_posix_test.cpp)
endif()
target_link_libraries(dxf_writer_tests PRIVATE tessa_dxf tessa_test_support GTest::gtest_main)
target_compile_definitions(dxf_writer_tests PRIVATE
  TESSA_WRITER_OUT_DIR="${TESSA_WRITER_OUT_DIR}"
  TESSA_GOLDEN_DIR="${CMAKE_CURRENT_LIST_DIR}/golden")
gtest_discover_tests(dxf_writer_tests
  PROPERTIES FIXTURES_SETUP dxf_writer_files)

add_test(NAME dxf_writer_ezdxf_audit
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/ezdxf_audit.py ${TESSA_WRITER_OUT_DIR})
set_tests_properties(dxf_writer_ezdxf_audit PROPERTIES
  FIXTURES_REQUIRED dxf_writer_files
  SKIP_RETURN_CODE 77)
