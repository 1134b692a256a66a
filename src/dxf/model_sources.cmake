# The DXF model (SaveUnit.cpp), the boxes of what it draws (SaveExtents.cpp)
# and the conversion set-up that prepares it.
target_sources(tessa_dxf_model PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SaveUnit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveExtents.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveSetup.cpp)
