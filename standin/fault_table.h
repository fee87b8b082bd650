#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace standin {

/// Counts the stand-in's COM calls by method and makes chosen calls fail.
///
/// A method is named "<interface>.<method>", the interface being the one
/// that declares the method and the method spelled as in the generated
/// header: "ContactItem.put_Note", "ContactItemEx.SetIm", "EventList.get_Item",
/// "PalmApplication.get_Contacts", "CalendarCollection.NewEvent". Every
/// object also counts "<interface>.QueryInterface" under its own interface.
/// A failing call answers its HRESULT and changes nothing.
class FaultTable {
public:
    /// The `nth` call of `method` from now on (1 = the next one) answers
    /// `hr`; the calls around it succeed.
    void failOn(const std::string& method, int nth, HRESULT hr);
    /// Every call of `method` from the `nth` from now on answers `hr`.
    void failFrom(const std::string& method, int nth, HRESULT hr);
    /// Forgets every planned failure (the counts stay).
    void clear();
    /// Calls of `method` so far, failed ones included.
    int calls(const std::string& method) const;

    /// Counts one call of `iface`.`method` (both static texts, which the
    /// table keeps by address); answers the planned failure of that call,
    /// or S_OK.
    HRESULT enter(const char* iface, const char* method);

private:
    struct Rule {
        std::string method;
        int fromCall;
        bool repeats;
        HRESULT hr;
    };
    struct Key {
        const char* iface;
        const char* method;
        bool operator==(const Key& other) const noexcept {
            return iface == other.iface && method == other.method;
        }
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const noexcept {
            return std::hash<const void*>()(key.iface) * 31 + std::hash<const void*>()(key.method);
        }
    };
    static std::string nameOf(const Key& key);

    std::unordered_map<Key, int, KeyHash> counts_;
    std::vector<Rule> rules_;
};

}  // namespace standin
