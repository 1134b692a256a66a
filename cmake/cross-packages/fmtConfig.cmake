include(${CMAKE_CURRENT_LIST_DIR}/HostHeaders.cmake)
tessa_host_headers(fmt::fmt-header-only fmt)
set_property(TARGET fmt::fmt-header-only APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS FMT_HEADER_ONLY=1)
