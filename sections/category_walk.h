#pragma once

#include <string>
#include <utility>
#include <vector>

#include "record/record.h"
#include "record/record_id_note.h"
#include "sections/field_keys.h"
#include "sections/guarded_operation.h"
#include "sections/record_id_index.h"
#include "sections/record_id_search.h"
#include "sections/palm_desktop.h"
#include "sections/section_handler.h"
#include "win/ansi.h"
#include "win/com_error.h"
#include "win/com_ptr.h"

/// The machinery shared by the sections whose items Palm Desktop files by
/// category (contacts, to-dos, memos): construction, the export cursor,
/// the record count, the search by record identifier, the shape of
/// `sendRecord`, deletion and the category lists.
///
/// `Model` names the section's Palm Desktop interfaces:
///   using Collection   = ...;  // e.g. ContactCollection
///   using CategoryList = ...;  // e.g. ContactCategoryList
///   using View         = ...;  // e.g. ContactView
///   using Item         = ...;  // e.g. ContactItem
/// All sections call these interfaces by the same method names
/// (get_Categories, get_CategoryView, AddCategory, get_Count, get_Item,
/// Delete). A section derives from CategoryWalkSection<Model> and supplies
/// the hooks below: its reader, its writer, how a new item is made, where an
/// item keeps its identifier and the key of its category.
///
/// Every operation that Palm Desktop can fail catches win::ComError for the
/// whole operation, keeps its code in `lastError` and answers
/// ResponseFailed; nothing done before the failure is undone.
template <typename Model>
class CategoryWalkSection : public SectionHandler {
public:
    using Collection = typename Model::Collection;
    using CategoryList = typename Model::CategoryList;
    using View = typename Model::View;
    using Item = typename Model::Item;

    /// Keeps a reference of its own to `sectionCollection` (which may be
    /// null) and fetches the category list; a failure goes to `lastError`
    /// and leaves a handler whose operations fail.
    explicit CategoryWalkSection(Collection* sectionCollection)
        : collection(win::ComPtr<Collection>::share(sectionCollection)) {
        try {
            win::check(win::required(collection)->get_Categories(categoryList.put()));
            win::required(categoryList);
        } catch (const win::ComError& error) {
            lastError = error.code();
            if (trace::traceEnabled()) trace::traceHandlerError("the handler's construction", lastError);
        }
    }

    ~CategoryWalkSection() override {
        categoryList.reset();
        itemView.reset();
        collection.reset();
    }

    ResponseCode beginImport() override { return ResponseOk; }
    ResponseCode endImport() override { return ResponseOk; }
    ResponseCode endExport() override { return ResponseOk; }

    /// Positions the export cursor on the first category (a handler that
    /// has exported before starts the walk over).
    ResponseCode beginExport() override {
        return guarded([&] {
            categoryIndex = 0;
            categoryCount = countOf(win::required(categoryList));
            openWalkedView(0);
            return ResponseOk;
        });
    }

    /// The number of items in all listed categories; the export cursor is
    /// not touched. After a failure `count` holds the partial sum.
    ResponseCode getRecordCount(int& count) override {
        return guarded([&] {
            count = 0;
            const int categories = countOf(win::required(categoryList));
            for (int i = 0; i < categories; ++i) count += countOf(viewOf(categoryName(i)));
            return ResponseOk;
        });
    }

    /// The next item of the walk, or ResponseNoMoreRecords. The position
    /// moves on before the item is read, so an item that fails to convert
    /// is skipped by the next call.
    ResponseCode getNextRecord(Record& record) override {
        return guarded([&] {
            if (categoryIndex >= categoryCount) return ResponseNoMoreRecords;
            for (;;) {
                if (itemIndex < itemCount) {
                    win::ComPtr<Item> item = itemAt(win::required(itemView), itemIndex);
                    ++itemIndex;
                    readItem(*item.get(), record);
                    return ResponseOk;
                }
                if (++categoryIndex == categoryCount) return ResponseNoMoreRecords;
                openWalkedView(categoryIndex);
            }
        });
    }

    /// Updates the item carrying the record's identifier, or creates one in
    /// the record's category (adding the category when it is not listed),
    /// and answers the identifier now stored in the item.
    ResponseCode sendRecord(const Record& record, std::string& recordId) override {
        return guarded([&] {
            const std::string wantedId = record.getField(fieldkey::RecordId);
            const std::vector<std::string> names = categoryNames();
            win::ComPtr<Item> target;
            if (!wantedId.empty()) target = findInAllCategories(names, wantedId);

            const std::string category = record.getField(categoryKey());
            bool listed = false;
            for (const std::string& name : names) listed = listed || name == category;
            if (!listed) win::check(win::required(collection)->AddCategory(win::makeBstr(category).get()));

            const bool existing = static_cast<bool>(target);
            if (!existing) target = newItem(record);
            recordId = writeItem(*win::required(target).get(), record, existing);
            if (!existing) recordIds.added(recordId, target);
            return ResponseOk;
        });
    }

    /// Appends the category names in Palm Desktop's order; after a failure
    /// the names read so far stay.
    ResponseCode readCategoryList(std::vector<std::string>& names) override {
        return guarded([&] {
            const int categories = countOf(win::required(categoryList));
            for (int i = 0; i < categories; ++i) names.push_back(categoryName(i));
            return ResponseOk;
        });
    }

    /// Adds every name as a category. Palm Desktop's answer to each call is
    /// ignored (a name that exists already is passed over); always ResponseOk.
    ResponseCode writeCategoryList(const std::vector<std::string>& names) override {
        if (!collection) return ResponseOk;
        for (const std::string& name : names) collection->AddCategory(win::makeBstr(name).get());
        return ResponseOk;
    }

    /// Deletes the first item, in walk order, that carries `recordId`;
    /// ResponseOk also when none does.
    ResponseCode deleteRecord(const std::string& recordId) override {
        return guarded([&] {
            win::ComPtr<Item> item = findInAllCategories(categoryNames(), recordId);
            if (item) {
                win::check(item->Delete(0));
                recordIds.removed(recordId);
            }
            return ResponseOk;
        });
    }

    /// Deletes the items of every category. Within a view the position moves
    /// on after each deletion and the count is read anew before each step,
    /// so what one pass reaches depends on whether Palm Desktop takes a
    /// deleted item out of a view that is being walked. A position that
    /// Palm Desktop does not answer with S_OK and an item is passed over.
    ResponseCode deleteAll() override {
        return guarded([&] {
            const std::vector<std::string> names = categoryNames();
            for (const std::string& name : names) {
                win::ComPtr<View> view = viewOf(name);
                for (long j = 0; j < countOf(view); ++j) {
                    win::ComPtr<Item> item;
                    if (view->get_Item(j, item.put()) == S_OK && item) win::check(item->Delete(0));
                }
            }
            return ResponseOk;
        });
    }

    /// The code of the last failure Palm Desktop reported; 0 when none.
    HRESULT getLastError() const { return lastError; }

protected:
    /// Converts one item of the walked category into `record`.
    virtual void readItem(Item& item, Record& record) = 0;
    /// Writes `record` into `item` (found by its identifier when `existing`,
    /// else just created by newItem) and returns the identifier now kept in
    /// the item's text.
    virtual std::string writeItem(Item& item, const Record& record, bool existing) = 0;
    /// Asks `collection` for a new item in the record's category, with the
    /// initial texts the section takes from the record.
    virtual win::ComPtr<Item> newItem(const Record& record) = 0;
    /// The text of an item that carries its record identifier (a note, or a
    /// memo's body).
    virtual std::string identifierText(Item& item) = 0;
    /// The record key of the section's category ("111.Category", ...).
    virtual const char* categoryKey() const = 0;

    /// The name of the category the export walk is in: the category of the
    /// item that getNextRecord is converting.
    const std::string& walkedCategory() const { return walkedCategoryName; }

    /// The first item of `view` whose identifier text carries `recordId`,
    /// or none.
    win::ComPtr<Item> findByRecordId(View* view, const std::string& recordId) {
        return ::findByRecordId<Item>(*win::required(view), recordId,
                                      [this](Item& item) { return identifierText(item); });
    }

    /// Runs one operation; a Palm Desktop failure becomes `lastError` and
    /// ResponseFailed; `where` names the operation in the field trace.
    template <typename Operation>
    ResponseCode guarded(Operation&& operation, const char* where = __builtin_FUNCTION()) {
        return guardedOperation(lastError, std::forward<Operation>(operation), where);
    }

    /// The view of the category called `name`.
    win::ComPtr<View> viewOf(const std::string& name) {
        win::ComPtr<View> view;
        win::check(win::required(collection)->get_CategoryView(win::makeBstr(name).get(), view.put()));
        win::required(view);
        return view;
    }

    /// The category name at `index` of `categoryList`.
    std::string categoryName(long index) {
        win::UniqueBstr name;
        win::check(win::required(categoryList)->get_Item(index, name.put()));
        return win::fromBstr(name.get());
    }

    win::ComPtr<Collection> collection;
    win::ComPtr<CategoryList> categoryList;
    win::ComPtr<View> itemView;
    int categoryCount = 0;
    int categoryIndex = 0;
    int itemCount = 0;
    int itemIndex = 0;
    HRESULT lastError = S_OK;

private:
    template <typename List>
    static long countOf(List* list) {
        long count = 0;
        win::check(win::required(list)->get_Count(&count));
        return count;
    }
    template <typename List>
    static long countOf(const win::ComPtr<List>& list) {
        return countOf(list.get());
    }

    static win::ComPtr<Item> itemAt(View* view, long index) {
        win::ComPtr<Item> item;
        win::check(view->get_Item(index, item.put()));
        win::required(item);
        return item;
    }
    static win::ComPtr<Item> itemAt(const win::ComPtr<View>& view, long index) {
        return itemAt(view.get(), index);
    }

    std::vector<std::string> categoryNames() {
        std::vector<std::string> names;
        const long count = countOf(win::required(categoryList));
        names.reserve(static_cast<size_t>(count));
        for (long i = 0; i < count; ++i) names.push_back(categoryName(i));
        return names;
    }

    win::ComPtr<Item> findInAllCategories(const std::vector<std::string>& names, const std::string& recordId) {
        const auto textOf = [this](Item& item) { return identifierText(item); };
        const auto scan = [&]() -> win::ComPtr<Item> {
            for (const std::string& name : names) {
                win::ComPtr<Item> item = findByRecordId(viewOf(name).get(), recordId);
                if (item) return item;
            }
            return nullptr;
        };
        const auto forEachView = [&](auto&& visit) {
            for (const std::string& name : names) visit(*viewOf(name).get());
        };
        return recordIds.find(recordId, scan, forEachView, textOf);
    }

    // The cursor changes only once the new view and its count are in hand;
    // a category whose view fails is passed over by the next call.
    void openWalkedView(int index) {
        std::string name = categoryName(index);
        win::ComPtr<View> view = viewOf(name);
        const long count = countOf(view);
        itemView = std::move(view);
        itemCount = static_cast<int>(count);
        itemIndex = 0;
        walkedCategoryName = std::move(name);
    }

    std::string walkedCategoryName;
    /// The search by record id of an import bracket.
    RecordIdIndex<Item> recordIds{recordIdIndexing()};
};
