#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#include "standin/com_object.h"

namespace standin {

/// Whether `Data` has an extension interface (an `extended` field).
template <typename Data, typename = void>
struct HasExtension : std::false_type {};
template <typename Data>
struct HasExtension<Data, std::void_t<decltype(std::declval<Data&>().extended)>> : std::true_type {};

/// Base of the item objects (contact, memo, to-do, event): the item they
/// stand for and accessors for its plain fields. Every call on a deleted
/// item answers `kItemDeleted`, except `Delete`, which answers S_FALSE. A
/// call under another interface name than the object's own is a call of
/// the extension interface, which an item without it answers E_NOINTERFACE.
template <typename Interface, typename Data>
class ItemObject : public ComObject<Interface> {
public:
    using Item = std::shared_ptr<Stored<Data>>;

protected:
    ItemObject(std::shared_ptr<DesktopState> state, const char* name, Item item)
        : ComObject<Interface>(std::move(state), name), baseName_(name), item_(std::move(item)) {}

    Stored<Data>& item() const noexcept { return *item_; }
    const Item& handle() const noexcept { return item_; }

    /// `guarded` that also refuses calls on a deleted item.
    template <typename Body>
    HRESULT onItem(const char* iface, const char* method, Body&& body) noexcept {
        return this->guarded(iface, method, [&]() -> HRESULT {
            if (item_->deleted) return kItemDeleted;
            if constexpr (HasExtension<Data>::value)
                if (!item_->extended && std::strcmp(iface, baseName_) != 0) return E_NOINTERFACE;
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
    /// deleted already; E_INVALIDARG for an argument other than 0.
    HRESULT deleteFrom(const char* iface, ItemSection<Data>& section, long argument) noexcept {
        return this->guarded(iface, "Delete", [&] {
            if (argument != 0) return E_INVALIDARG;
            return section.remove(item_) ? S_OK : S_FALSE;
        });
    }

private:
    const char* baseName_;
    Item item_;
};

}  // namespace standin
