#pragma once

#include <memory>
#include <string>

#include "standin/com_object.h"

namespace standin {

/// Base of the item objects (contact, memo, to-do, event): the item they
/// stand for and accessors for its plain fields. Every call on a deleted
/// item answers `kItemDeleted`, except `Delete`, which answers S_FALSE.
template <typename Interface, typename Data>
class ItemObject : public ComObject<Interface> {
public:
    using Item = std::shared_ptr<Stored<Data>>;

protected:
    ItemObject(std::shared_ptr<DesktopState> state, const char* name, Item item)
        : ComObject<Interface>(std::move(state), name), item_(std::move(item)) {}

    Stored<Data>& item() const noexcept { return *item_; }
    const Item& handle() const noexcept { return item_; }

    /// `guarded` that also refuses calls on a deleted item.
    template <typename Body>
    HRESULT onItem(const char* iface, const char* method, Body&& body) noexcept {
        return this->guarded(iface, method, [&]() -> HRESULT {
            if (item_->deleted) return kItemDeleted;
            return body();
        });
    }

    template <typename T>
    HRESULT get(const char* iface, const char* method, T Data::*field, T* out) noexcept {
        return onItem(iface, method, [&] { return answerValue(item().*field, out); });
    }
    template <typename T>
    HRESULT put(const char* iface, const char* method, T Data::*field, T value) noexcept {
        return onItem(iface, method, [&] {
            item().*field = value;
            return S_OK;
        });
    }
    HRESULT getText(const char* iface, const char* method, std::wstring Data::*field, BSTR* out) noexcept {
        if (out) *out = nullptr;
        return onItem(iface, method, [&] { return answerText(item().*field, out); });
    }
    HRESULT putText(const char* iface, const char* method, std::wstring Data::*field, BSTR text) noexcept {
        return onItem(iface, method, [&] {
            item().*field = textOf(text);
            return S_OK;
        });
    }

    /// Removes the item from `section`: S_OK, or S_FALSE when it was
    /// deleted already. The argument is not used.
    HRESULT deleteFrom(const char* iface, ItemSection<Data>& section) noexcept {
        return this->guarded(iface, "Delete", [&] { return section.remove(item_) ? S_OK : S_FALSE; });
    }

private:
    Item item_;
};

}  // namespace standin
