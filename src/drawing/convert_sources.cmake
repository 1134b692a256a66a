target_sources(tessa_convert PRIVATE JwwDxf.cpp JwcDxf.cpp)
