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

// An answer on the heap for the worker; nothing when no memory is left
// even for that (the worker then reports out-of-memory itself).
TAnswer* Hand(TAnswer answer) { return new (std::nothrow) TAnswer(std::move(answer)); }

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE TAnswer* tessa_web_convert(const char* name, const uint8_t* data, size_t size,
                                                const char* options, double writtenMs) {
  return Hand(tessa::web::Convert(name, Bytes(data, size), options, writtenMs));
}

EMSCRIPTEN_KEEPALIVE TAnswer* tessa_web_preview(const char* name, const uint8_t* data, size_t size,
                                                const char* options) {
  return Hand(tessa::web::Preview(name, Bytes(data, size), options));
}

EMSCRIPTEN_KEEPALIVE TAnswer* tessa_web_info(const char* name, const uint8_t* data, size_t size) {
  return Hand(tessa::web::Info(name, Bytes(data, size)));
}

EMSCRIPTEN_KEEPALIVE TAnswer* tessa_web_options() {
  return Hand(TAnswer{{}, tessa::web::OptionsJson()});
}

EMSCRIPTEN_KEEPALIVE const char* tessa_web_json(const TAnswer* a) { return a->json.c_str(); }
EMSCRIPTEN_KEEPALIVE const char* tessa_web_bytes(const TAnswer* a) { return a->bytes.data(); }
EMSCRIPTEN_KEEPALIVE size_t tessa_web_size(const TAnswer* a) { return a->bytes.size(); }
EMSCRIPTEN_KEEPALIVE void tessa_web_free(TAnswer* a) { delete a; }

}  // extern "C"
