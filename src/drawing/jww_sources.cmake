# JWW/JWS entity model, archive reader, block tree and bound images.
target_sources(tessa_drawing PRIVATE
  JwArchive.cpp JwwBase.cpp JwwBlockTree.cpp JwwImages.cpp JwwUnit.cpp JwsUnit.cpp)
