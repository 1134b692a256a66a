// gzip data for tests of images bound into drawings.
#pragma once

#include <string>

namespace tessa::testing_support {

// `data` in the gzip format (zlib's default level); empty when zlib fails.
std::string Gzip(const std::string& data);

}  // namespace tessa::testing_support

namespace tessa {
using testing_support::Gzip;
}  // namespace tessa
