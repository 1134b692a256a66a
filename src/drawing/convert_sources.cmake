# Conversion of JWW drawings and JWS symbols (JwwDxf*.cpp) and of JWC/JWK
# drawings (JwcDxf.cpp) into the DXF model.
target_sources(tessa_convert PRIVATE
  JwwDxf.cpp
  JwwDxfEntity.cpp
  JwcDxf.cpp
)
