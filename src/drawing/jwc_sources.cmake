target_sources(tessa_drawing PRIVATE JwcUnit.cpp JwkUnit.cpp)
