// The UTF-8 variants of the record and list functions: each converts at the
// boundary (win/ansi.h) and then does what its ANSI twin does.

#include "capi/capi_handles.h"
#include "win/ansi.h"

namespace {

using capi::guarded;
using capi::present;
using capi::longestUtf8Text;
using capi::textArgument;
using capi::textArguments;

/// `utf8` as ANSI into `ansi`; false when the code page cannot hold it.
bool toAnsi(std::string_view utf8, std::string& ansi) { return win::utf8ToAnsi(utf8, ansi); }

}  // namespace

extern "C" {

int BRANNOCK_CALL brannock_record_put_utf8(brannock_record* record, const char* key, size_t key_length,
                                           const char* value, size_t value_length)
{
    std::string_view k, v;
    if (!record)
        return BRANNOCK_BAD_ARGUMENT;
    if (const int refused = textArguments(longestUtf8Text, key, key_length, k, value, value_length, v))
        return refused;
    return guarded([&] {
        std::string ansiKey, ansiValue;
        if (!toAnsi(k, ansiKey) || !toAnsi(v, ansiValue))
            return BRANNOCK_CANNOT_TRAVEL;
        return capi::putField(*record, ansiKey, ansiValue);
    });
}

int BRANNOCK_CALL brannock_record_get_utf8(brannock_record* record, const char* key, size_t key_length,
                                           const char** value, size_t* value_length)
{
    std::string_view k;
    if (!present(record, value, value_length))
        return BRANNOCK_BAD_ARGUMENT;
    if (const int refused = textArgument(key, key_length, k, longestUtf8Text))
        return refused;
    return guarded([&] {
        std::string ansiKey;
        if (!toAnsi(k, ansiKey) || !fitsTheZone(ansiKey.size()))
            return BRANNOCK_CANNOT_TRAVEL;
        record->scratch = win::ansiToUtf8(record->record.getField(ansiKey));
        return capi::handOut(record->scratch, value, value_length);
    });
}

int BRANNOCK_CALL brannock_record_key_utf8(brannock_record* record, size_t index, const char** key,
                                           size_t* key_length)
{
    if (!present(record, key, key_length))
        return BRANNOCK_BAD_ARGUMENT;
    return guarded([&] {
        const std::string* found = capi::keyAt(*record, index);
        if (!found)
            return BRANNOCK_NO_MORE;
        record->scratch = win::ansiToUtf8(*found);
        return capi::handOut(record->scratch, key, key_length);
    });
}

int BRANNOCK_CALL brannock_list_add_utf8(brannock_list* list, const char* name, size_t name_length)
{
    std::string_view n;
    if (!list)
        return BRANNOCK_BAD_ARGUMENT;
    if (const int refused = textArgument(name, name_length, n, longestUtf8Text))
        return refused;
    return guarded([&] {
        std::string ansi;
        return toAnsi(n, ansi) ? capi::addName(*list, ansi) : BRANNOCK_CANNOT_TRAVEL;
    });
}

int BRANNOCK_CALL brannock_list_get_utf8(brannock_list* list, size_t index, const char** name, size_t* name_length)
{
    if (!present(list, name, name_length))
        return BRANNOCK_BAD_ARGUMENT;
    if (index >= list->names.size())
        return BRANNOCK_NO_MORE;
    return guarded([&] {
        list->scratch = win::ansiToUtf8(list->names[index]);
        return capi::handOut(list->scratch, name, name_length);
    });
}

}  // extern "C"
