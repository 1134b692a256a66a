target_sources(tessa_drawing PRIVATE JwcCommon.cpp JwcUnit.cpp JwkUnit.cpp)
