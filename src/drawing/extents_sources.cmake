# GetMinMaxZahyo of the JWW/JWS containers and SetGAttLayer of all four
target_sources(tessa_drawing PRIVATE GAttLayer.cpp JwwExtents.cpp)
