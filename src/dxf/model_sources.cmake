# The DXF model (SaveUnit.cpp) and the conversion set-up that prepares it.
target_sources(tessa_dxf PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SaveUnit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveSetup.cpp)
