include(${CMAKE_CURRENT_LIST_DIR}/HostHeaders.cmake)
tessa_host_headers(FastFloat::fast_float fast_float)
