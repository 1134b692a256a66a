// The module's exports: plain C functions the worker calls with a
// drawing's bytes in the module's memory.  Each call hands back an answer
// the worker reads (bytes, JSON) and then frees.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <span>
#include <string>

#include "web/WebCalls.h"

namespace {

using tessa::web::TAnswer;

std::span<const uint8_t> Bytes(const uint8_t* data, size_t size) { return {data, size}; }

// The call's answer on the heap for the worker; nothing when memory ran
// out outside the library's own guard (reading the options, writing the
// answer's JSON), and the worker then reports out-of-memory itself.  Any
// other exception ends the module, which the worker meets as a trap.
template <class Call>
TAnswer* Hand(Call&& call) noexcept {
  try {
    return new TAnswer(call());
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE TAnswer* tessa_web_convert(const char* name, const uint8_t* data, size_t size,
                                                const char* options, double writtenMs,
                                                int withInfo) {
  return Hand([&] {
    return tessa::web::Convert(name, Bytes(data, size), options, writtenMs, withInfo != 0);
  });
}

EMSCRIPTEN_KEEPALIVE TAnswer* tessa_web_preview(const char* name, const uint8_t* data, size_t size,
                                                const char* options) {
  return Hand([&] { return tessa::web::Preview(name, Bytes(data, size), options); });
}

EMSCRIPTEN_KEEPALIVE TAnswer* tessa_web_info(const char* name, const uint8_t* data, size_t size) {
  return Hand([&] { return tessa::web::Info(name, Bytes(data, size)); });
}

EMSCRIPTEN_KEEPALIVE TAnswer* tessa_web_options() {
  return Hand([] { return TAnswer{{}, tessa::web::OptionsJson()}; });
}

EMSCRIPTEN_KEEPALIVE const char* tessa_web_json(const TAnswer* a) { return a->json.c_str(); }
EMSCRIPTEN_KEEPALIVE const char* tessa_web_bytes(const TAnswer* a) { return a->bytes.data(); }
EMSCRIPTEN_KEEPALIVE size_t tessa_web_size(const TAnswer* a) { return a->bytes.size(); }
EMSCRIPTEN_KEEPALIVE void tessa_web_free(TAnswer* a) { delete a; }

}  // extern "C"
