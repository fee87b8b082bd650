#include "standin/fault_table.h"

namespace standin {

void FaultTable::failOn(const std::string& method, int nth, HRESULT hr) {
    rules_.push_back({method, calls(method) + nth, false, hr});
}

void FaultTable::failFrom(const std::string& method, int nth, HRESULT hr) {
    rules_.push_back({method, calls(method) + nth, true, hr});
}

void FaultTable::clear() { rules_.clear(); }

int FaultTable::calls(const std::string& method) const {
    int total = 0;
    for (const auto& [key, count] : counts_)
        if (nameOf(key) == method) total += count;
    return total;
}

HRESULT FaultTable::enter(const char* iface, const char* method) {
    ++counts_[Key{iface, method}];
    if (rules_.empty()) return S_OK;
    const std::string name = nameOf(Key{iface, method});
    const int count = calls(name);
    for (const Rule& rule : rules_) {
        if (rule.method != name) continue;
        if (rule.repeats ? count >= rule.fromCall : count == rule.fromCall) return rule.hr;
    }
    return S_OK;
}

std::string FaultTable::nameOf(const Key& key) { return std::string(key.iface) + '.' + key.method; }

}  // namespace standin
