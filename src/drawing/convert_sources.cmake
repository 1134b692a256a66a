# Conversion of JWW drawings and JWS symbols (JwwDxf*.cpp) and of JWC/JWK
# drawings (JwcDxf.cpp) into the DXF model, with the steps they share
# (JwDxfCommon.cpp).
target_sources(tessa_convert PRIVATE
  JwDxfCommon.cpp
  JwwDxf.cpp
  JwwDxfEntity.cpp
  JwwBlockScales.cpp
  JwcDxf.cpp
)
