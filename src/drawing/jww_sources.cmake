target_sources(tessa_drawing PRIVATE JwwUnit.cpp JwsUnit.cpp)
