#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "standin/com_object.h"

namespace standin {

/// A category-name list (`ContactCategoryList`, `MemoCategoryList`,
/// `TodoCategoryList`, `CalendarCategoryList`): live, so a category added
/// after the list was handed out shows up in it.
template <typename Interface, typename Data>
class CategoryNamesObject : public ComObject<Interface> {
public:
    using Section = ItemSection<Data> DesktopState::*;

    CategoryNamesObject(std::shared_ptr<DesktopState> state, const char* name, const IID& iid,
                        Section section)
        : ComObject<Interface>(std::move(state), name), iid_(iid), section_(section) {}

    HRESULT STDMETHODCALLTYPE get_Count(long* count) override {
        return this->guarded("get_Count", [&] { return answerValue(static_cast<long>(names().size()), count); });
    }
    HRESULT STDMETHODCALLTYPE get_Item(long index, BSTR* name) override {
        if (name) *name = nullptr;
        return this->guarded("get_Item", [&] {
            if (!inRange(index, names().size())) return E_INVALIDARG;
            return answerText(names()[static_cast<size_t>(index)], name);
        });
    }

protected:
    bool answers(REFIID iid) const override { return IsEqualIID(iid, iid_); }

private:
    const std::vector<std::wstring>& names() const { return (this->state().*section_).categories(); }

    const IID& iid_;
    Section section_;
};

/// A list of items (`ContactView`, `MemoView`, `TodoView`, `EventList`):
/// the items it held when it was handed out, in their order. An item deleted
/// since stays at its position and answers `kItemDeleted`, or, under the
/// live-view reading, leaves the list; an item moved to another category
/// stays. Ask again for an up-to-date list.
template <typename Interface, typename ItemInterface, typename Data>
class ItemListObject : public ComObject<Interface> {
public:
    using Item = std::shared_ptr<Stored<Data>>;
    using Maker = std::function<win::ComPtr<ItemInterface>(const std::shared_ptr<DesktopState>&, const Item&)>;

    ItemListObject(std::shared_ptr<DesktopState> state, const char* name, const IID& iid,
                   std::vector<Item> items, Maker maker)
        : ComObject<Interface>(std::move(state), name),
          iid_(iid),
          items_(std::move(items)),
          maker_(std::move(maker)) {}

    HRESULT STDMETHODCALLTYPE get_Count(long* count) override {
        return this->guarded("get_Count", [&] {
            dropDeletedWhenLive();
            return answerValue(static_cast<long>(items_.size()), count);
        });
    }
    HRESULT STDMETHODCALLTYPE get_Item(long index, ItemInterface** item) override {
        if (item) *item = nullptr;
        return this->guarded("get_Item", [&] {
            if (!item) return E_POINTER;
            dropDeletedWhenLive();
            if (!inRange(index, items_.size())) return E_INVALIDARG;
            return handOut(maker_(this->sharedState(), items_[static_cast<size_t>(index)]), item);
        });
    }

protected:
    bool answers(REFIID iid) const override { return IsEqualIID(iid, iid_); }

private:
    void dropDeletedWhenLive() {
        if (!this->state().readings.liveViews) return;
        items_.erase(std::remove_if(items_.begin(), items_.end(), [](const Item& i) { return i->deleted; }),
                     items_.end());
    }

    const IID& iid_;
    std::vector<Item> items_;
    Maker maker_;
};

/// A list whose count and entry stand at slots 9 and 10, behind two
/// placeholders (the memo, to-do and event lists).
template <typename List>
class ListAtSlot9 final : public List {
public:
    using List::List;
    STANDIN_RESERVED(7)
    STANDIN_RESERVED(8)
};

}  // namespace standin
