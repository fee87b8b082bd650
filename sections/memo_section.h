#pragma once

#include <windows.h>

#include <string>

#include "sections/category_walk.h"
#include "sections/memo_text.h"

/// Palm Desktop's memo interfaces, as the category walk uses them.
struct MemoModel {
    using Collection = MemoCollection;
    using CategoryList = MemoCategoryList;
    using View = MemoView;
    using Item = MemoItem;
};

/// The section handler of Palm Desktop's memos. A memo is one text; once
/// exported or written it reads: title, "\r\n", the record identifier tag,
/// the identifier, "\r\n", the body.
class MemoSectionImpl : public CategoryWalkSection<MemoModel> {
public:
    /// The longest title, in bytes.
    static constexpr std::size_t maxTitleLength = memoTitleLimit;

    /// A handler over `memos` (which may be null: every operation then fails).
    explicit MemoSectionImpl(MemoCollection* memos);

    /// Splits a memo text at its first "\r\n" into title and body. A first
    /// line longer than 255 bytes is cut after 255 bytes, or 254 when byte
    /// 255 would split a double-byte character of `codePage`; the rest of
    /// the line then begins the body.
    static MemoText splitMemoText(const std::string& text, UINT codePage = CP_ACP);

    /// Fills `record` from `memo` and rewrites the memo's text with its
    /// identifier (a new one when the body carries none).
    void readMemo(MemoItem& memo, Record& record);
    /// Writes `record` into `memo` and returns the identifier the memo keeps
    /// (the record's own "RecordId" is not written).
    std::string writeMemo(MemoItem& memo, const Record& record);

protected:
    void readItem(MemoItem& item, Record& record) override;
    std::string writeItem(MemoItem& item, const Record& record, bool existing) override;
    win::ComPtr<MemoItem> newItem(const Record& record) override;
    std::string identifierText(MemoItem& item) override;
    const char* categoryKey() const override;
};
