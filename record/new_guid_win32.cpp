#include "record/new_guid.h"

#include <objbase.h>

std::string newRecordId()
{
    GUID guid{};
    if (FAILED(CoCreateGuid(&guid)))
        return std::string();
    wchar_t wide[40] = {};
    const int wideLength = StringFromGUID2(guid, wide, 40);
    if (wideLength <= 1)
        return std::string();
    char narrow[80] = {};
    const int length = WideCharToMultiByte(CP_ACP, 0, wide, wideLength - 1, narrow,
                                           sizeof narrow, nullptr, nullptr);
    return std::string(narrow, length > 0 ? length : 0);
}
