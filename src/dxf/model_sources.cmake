# The DXF model (SaveUnit.cpp, listed in CMakeLists.txt) and the
# conversion set-up that prepares it.
target_sources(tessa_dxf PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SaveSetup.cpp)
