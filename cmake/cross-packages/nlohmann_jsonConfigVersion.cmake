# The version of Debian's nlohmann-json3-dev the headers come from.
include(/usr/share/cmake/nlohmann_json/nlohmann_jsonConfigVersion.cmake)
