# The DXF model (SaveUnit.cpp) and the conversion set-up that prepares it.
target_sources(tessa_dxf_model PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SaveUnit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveSetup.cpp)
