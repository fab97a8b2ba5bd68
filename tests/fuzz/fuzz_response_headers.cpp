// A tile server's response headers, fed line by line as libcurl hands them over.
#include "tiles/tile_server.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ResponseHeaders headers;
    const char* text = reinterpret_cast<const char*>(data);
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
        if (i < size && text[i] != '\n') continue;
        const size_t end = i < size ? i + 1 : i;
        if (end > start && captureResponseHeader(text + start, 1, end - start, headers) != end - start) return 0;
        start = end;
    }
    return 0;
}
