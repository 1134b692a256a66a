# Conversion of JWW drawings and JWS symbols (JwwDxf*.cpp) and of JWC/JWK
# drawings (JwcDxf.cpp) into the DXF model, with the steps they share
# (JwDxfCommon.cpp), the conversion context and the load of a drawing into
# it (JwConvContext.cpp, JwLoad.cpp).
target_sources(tessa_convert PRIVATE
  JwConvContext.cpp
  JwLoad.cpp
  JwDxfCommon.cpp
  JwwDxf.cpp
  JwwDxfEntity.cpp
  JwwBlockScales.cpp
  JwcDxf.cpp
)
