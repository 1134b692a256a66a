# The generator of large drawings, laid out by the test-side writers: the
# benchmark's drawings, and the browser test's drawing too large for its
# small-memory module.
set(TESSA_FIXTURE_DIR ${CMAKE_SOURCE_DIR}/tests/drawing)
add_executable(gen_drawings
  ${CMAKE_SOURCE_DIR}/bench/gen_drawings.cpp
  ${TESSA_FIXTURE_DIR}/JwwFixtureWriter.cpp
  ${TESSA_FIXTURE_DIR}/JwcFixtureWriter.cpp
)
target_include_directories(gen_drawings PRIVATE ${TESSA_FIXTURE_DIR})
target_link_libraries(gen_drawings PRIVATE tessa_drawing tessa_util)
