// The memo part of the stand-in: MemoCollection, its category list, its
// views and MemoItem.

#include "standin/item_object.h"
#include "standin/list_objects.h"
#include "standin/standin_objects.h"

namespace standin {
namespace {

using MemoNames = ListAtSlot9<CategoryNamesObject<MemoCategoryList, MemoData>>;
using MemoList = ListAtSlot9<ItemListObject<MemoView, MemoItem, MemoData>>;

class MemoItemObject final : public ItemObject<MemoItem, MemoData> {
public:
    MemoItemObject(std::shared_ptr<DesktopState> state, Item item)
        : ItemObject(std::move(state), "MemoItem", std::move(item)) {}

    STANDIN_RESERVED(7)
    STANDIN_RESERVED(8)
    STANDIN_RESERVED(9)
    HRESULT STDMETHODCALLTYPE get_Text(BSTR* t) override { return getText(kName, "get_Text", &MemoData::text, t); }
    HRESULT STDMETHODCALLTYPE put_Text(BSTR t) override { return putText(kName, "put_Text", &MemoData::text, t); }
    STANDIN_RESERVED(12)
    HRESULT STDMETHODCALLTYPE put_Category(BSTR name) override { return putText(kName, "put_Category", &MemoData::category, name); }
    STANDIN_RESERVED(14)
    STANDIN_RESERVED(15)
    HRESULT STDMETHODCALLTYPE get_Private(long* f) override { return get(kName, "get_Private", &MemoData::isPrivate, f); }
    HRESULT STDMETHODCALLTYPE put_Private(long f) override { return put(kName, "put_Private", &MemoData::isPrivate, f); }
    HRESULT STDMETHODCALLTYPE Delete(long argument) override { return deleteFrom(kName, state().memos, argument); }

protected:
    bool answers(REFIID iid) const override { return IsEqualIID(iid, IID_MemoItem); }

private:
    static constexpr const char* kName = "MemoItem";
};

class MemoCollectionObject final : public ComObject<MemoCollection> {
public:
    explicit MemoCollectionObject(std::shared_ptr<DesktopState> state) : ComObject(std::move(state), "MemoCollection") {}

    STANDIN_RESERVED(7)
    HRESULT STDMETHODCALLTYPE get_Categories(MemoCategoryList** list) override {
        if (list) *list = nullptr;
        return guarded("get_Categories", [&] {
            if (!list) return E_POINTER;
            return handOut(makeObject<MemoNames>(sharedState(), "MemoCategoryList", IID_MemoCategoryList,
                                                 &DesktopState::memos),
                           list);
        });
    }
    STANDIN_RESERVED(9)
    HRESULT STDMETHODCALLTYPE get_CategoryView(BSTR category, MemoView** view) override {
        if (view) *view = nullptr;
        return guarded("get_CategoryView", [&] {
            if (!view) return E_POINTER;
            return handOut(makeObject<MemoList>(sharedState(), "MemoView", IID_MemoView,
                                                state().memos.itemsIn(textOf(category)), makeMemoItem),
                           view);
        });
    }
    STANDIN_RESERVED(11)
    HRESULT STDMETHODCALLTYPE NewMemo(BSTR category, BSTR text, MemoItem** memo) override {
        if (memo) *memo = nullptr;
        return guarded("NewMemo", [&] {
            if (!memo) return E_POINTER;
            MemoData data;
            data.category = textOf(category);
            data.text = textOf(text);
            return handOut(makeMemoItem(sharedState(), state().memos.add(std::move(data))), memo);
        });
    }
    STANDIN_RESERVED(13)
    STANDIN_RESERVED(14)
    HRESULT STDMETHODCALLTYPE AddCategory(BSTR name) override {
        return guarded("AddCategory", [&] { return state().memos.addCategory(textOf(name)) ? S_OK : S_FALSE; });
    }

protected:
    bool answers(REFIID iid) const override { return IsEqualIID(iid, IID_MemoCollection); }
};

}  // namespace

win::ComPtr<MemoCollection> makeMemoCollection(const std::shared_ptr<DesktopState>& state) {
    return makeAs<MemoCollection, MemoCollectionObject>(state);
}

win::ComPtr<MemoItem> makeMemoItem(const std::shared_ptr<DesktopState>& state, const MemoSection::Item& item) {
    return makeAs<MemoItem, MemoItemObject>(state, item);
}

}  // namespace standin
