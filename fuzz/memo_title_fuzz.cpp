// A memo text's split in a single-byte code page and in code page 932 (lead bytes 0x81-0x9F, 0xE0-0xFC): the title
// holds at most 255 bytes of whole characters and no "\r\n"; title, line break and body give the text back (a lead
// byte right before the "\r\n" is dropped with the '\r'); a written memo splits back into its title, id and body.
#include "fuzz_support.h"
#include "record/record_id_note.h"
#include "sections/memo_text.h"

namespace {

bool singleByte(unsigned char) { return false; }
bool shiftJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

template <typename IsLead>
bool wholeCharacters(const std::string& text, IsLead isLead) {
    std::size_t at = 0;
    while (at < text.size()) at += isLead(static_cast<unsigned char>(text[at])) ? 2 : 1;
    return at == text.size();
}

template <typename IsLead>
void splitArbitraryText(const std::string& text, IsLead isLead) {
    const MemoText split = splitMemoTextBy(text, isLead);
    const std::string &title = split.title, &body = split.body;
    FUZZ_CHECK(title.size() <= memoTitleLimit && title.find("\r\n") == std::string::npos);
    FUZZ_CHECK(wholeCharacters(title, isLead));
    const bool droppedLead = title.size() < text.size() && isLead(static_cast<unsigned char>(text[title.size()])) &&
                             text == title + text[title.size()] + "\r" + body && !body.empty() && body.front() == '\n';
    FUZZ_CHECK(text == title + "\r\n" + body || text == title + body || droppedLead);
    const std::size_t firstLine = std::min(text.find("\r\n"), text.size());
    FUZZ_CHECK(title.size() + 1 >= std::min(firstLine, memoTitleLimit));
}

template <typename IsLead>
void roundTripWrittenMemo(FuzzedDataProvider& input, IsLead isLead) {
    std::string title = input.ConsumeRandomLengthString(300);
    title = title.substr(0, std::min(title.find("\r\n"), memoTitleLimit));
    while (!wholeCharacters(title, isLead)) title.pop_back();
    RecordIdNote note("");
    note.setNoteText(input.ConsumeRemainingBytesAsString());
    const MemoText split = splitMemoTextBy(title + "\r\n" + note.composeNote(), isLead);
    FUZZ_CHECK(split.title == title);
    const RecordIdNote back(split.body);
    FUZZ_CHECK(back.getRecordId() == note.getRecordId() && back.getNoteText() == note.getNoteText());
}

void splitInBothCodePages(const std::string& text) {
    splitArbitraryText(text, singleByte);
    splitArbitraryText(text, shiftJisLead);
}

void roundTripInEitherCodePage(FuzzedDataProvider& input) {
    if (input.ConsumeBool())
        roundTripWrittenMemo(input, shiftJisLead);
    else
        roundTripWrittenMemo(input, singleByte);
}

}  // namespace

FUZZ_TARGET(splitInBothCodePages, roundTripInEitherCodePage)
