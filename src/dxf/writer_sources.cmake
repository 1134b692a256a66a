# DXF writer: group-code layer, output file, and the section writers.
target_sources(tessa_dxf PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SaveWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveWriterCodes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveWriterOut.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveWriterTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveWriterEntities.cpp
)
