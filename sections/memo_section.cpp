#include "sections/memo_section.h"

#include "record/number_text.h"
#include "sections/text_property.h"

namespace {

namespace key = fieldkey::memo;

constexpr char lineBreak[] = "\r\n";

std::string memoText(MemoItem& memo) { return getText(memo, &MemoItem::get_Text); }

void setMemoText(MemoItem& memo, const std::string& title, const RecordIdNote& note) {
    putText(memo, &MemoItem::put_Text, title + lineBreak + note.composeNote());
}

}  // namespace

MemoSectionImpl::MemoSectionImpl(MemoCollection* memos) : CategoryWalkSection(memos) {}

MemoText MemoSectionImpl::splitMemoText(const std::string& text, UINT codePage) {
    return splitMemoTextBy(text, [codePage](unsigned char byte) { return ::IsDBCSLeadByteEx(codePage, byte) != FALSE; });
}

void MemoSectionImpl::readItem(MemoItem& item, Record& record) { readMemo(item, record); }

std::string MemoSectionImpl::writeItem(MemoItem& item, const Record& record, bool) { return writeMemo(item, record); }

// The new memo starts with the body, or the title when the body is empty;
// writeMemo replaces that text at once.
win::ComPtr<MemoItem> MemoSectionImpl::newItem(const Record& record) {
    std::string initialText = record.getField(key::Body);
    if (initialText.empty()) initialText = record.getField(key::Title);
    win::ComPtr<MemoItem> memo;
    win::check(win::required(collection)->NewMemo(win::makeBstr(record.getField(key::Category)).get(),
                                                   win::makeBstr(initialText).get(), memo.put()));
    return memo;
}

std::string MemoSectionImpl::identifierText(MemoItem& item) { return splitMemoText(memoText(item)).body; }

const char* MemoSectionImpl::categoryKey() const { return key::Category; }

void MemoSectionImpl::readMemo(MemoItem& memo, Record& record) {
    const MemoText split = splitMemoText(memoText(memo));
    record.putField(key::Title, split.title);
    record.putField(key::Category, walkedCategory());
    long privateFlag = 0;
    win::check(memo.get_Private(&privateFlag));
    record.putField(key::Private, std::to_string(privateFlag));

    const RecordIdNote note(split.body);
    setMemoText(memo, split.title, note);
    record.putField(fieldkey::RecordId, note.getRecordId());
    record.putField(key::Body, note.getNoteText());
}

std::string MemoSectionImpl::writeMemo(MemoItem& memo, const Record& record) {
    putText(memo, &MemoItem::put_Category, record.getField(key::Category));
    win::check(memo.put_Private(number_text::readInt(record.getField(key::Private))));
    // The tag is looked for in the whole text, wherever it stands.
    RecordIdNote note(memoText(memo));
    note.setNoteText(record.getField(key::Body));
    setMemoText(memo, record.getField(key::Title), note);
    return note.getRecordId();
}
