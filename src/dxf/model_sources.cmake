target_sources(tessa_dxf PRIVATE SaveUnit.cpp)
