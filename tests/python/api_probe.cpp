// The C++ API as a front end, for the test that gives the same bad inputs
// to every front end:
//   api_probe convert SRC DST [OPTION=VALUE...]   a conversion
//   api_probe info SRC                            an inspection
// Prints the reason as JSON on one line, then the line a front end shows;
// nothing for a success.  The exit status is 1 for a failure.
#include <cstdio>
#include <string>

#include "api/tessa_api.h"

namespace api = tessa::api;

namespace {

int Show(const api::Reason& r, const std::string& src, const std::string& dst) {
  std::printf("%s\n%s\n", api::ReasonJson(r).c_str(), api::Describe(r, src, dst).c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string verb = argc > 1 ? argv[1] : "";
  if (verb == "info" && argc == 3) {
    const api::Info info = api::Inspect(argv[2]);
    return info.ok ? 0 : Show(*info.reason, argv[2], {});
  }
  if (verb != "convert" || argc < 4) {
    std::fprintf(stderr, "usage: api_probe convert SRC DST [OPTION=VALUE...] | info SRC\n");
    return 2;
  }
  api::Options options;
  for (int i = 4; i < argc; ++i) {
    const std::string arg = argv[i];
    const size_t eq = arg.find('=');
    const auto option = api::OptionFromName(arg.substr(0, eq));
    if (eq == std::string::npos || !option) return 2;
    if (auto bad = api::SetOption(options, *option, arg.substr(eq + 1)))
      return Show(*bad, arg.substr(0, eq), {});
  }
  const api::Result r = api::ConvertFile(argv[2], argv[3], options);
  return r.ok ? 0 : Show(*r.reason, argv[2], argv[3]);
}
