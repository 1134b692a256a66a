target_sources(tessa_dxf PRIVATE SaveWriter.cpp)
