// The C interface's switch of the field trace.

#include "capi/capi_handles.h"
#include "win/trace_file.h"

extern "C" int BRANNOCK_CALL brannock_set_trace(const char* path, size_t length)
{
    std::string_view text;
    if (!capi::textArgument(path, length, text) || text.find('\0') != std::string_view::npos)
        return BRANNOCK_BAD_ARGUMENT;
    return capi::guarded([&] {
        return trace::openTraceFile(std::string(text)) ? BRANNOCK_OK : BRANNOCK_FAILED;
    });
}
