// The split of a memo text into title and body, in a single-byte code page
// and in code page 932 (Shift-JIS lead bytes 0x81-0x9F and 0xE0-0xFC), and
// the memo text that the section writes read back.
//
// Properties:
// - the title holds at most 255 bytes of whole characters and no "\r\n";
// - title, line break and body give the text back, except that a lead
//   byte right before the "\r\n" is dropped with the '\r';
// - the text written for a title and a note (title, "\r\n", tag, id,
//   "\r\n", body) splits back into that title, id and body.
#include "fuzz_support.h"
#include "record/record_id_note.h"
#include "sections/memo_text.h"

#include <string>

namespace {

bool singleByte(unsigned char)
{
    return false;
}

bool shiftJisLead(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

template <typename IsLeadByte>
bool wholeCharacters(const std::string& text, IsLeadByte isLeadByte)
{
    std::size_t at = 0;
    while (at < text.size())
        at += isLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
    return at == text.size();
}

template <typename IsLeadByte>
void splitArbitraryText(const std::string& text, IsLeadByte isLeadByte)
{
    const MemoText split = splitMemoTextBy(text, isLeadByte);
    const std::string& title = split.title;
    FUZZ_CHECK(title.size() <= memoTitleLimit);
    FUZZ_CHECK(title.find("\r\n") == std::string::npos);
    FUZZ_CHECK(wholeCharacters(title, isLeadByte));
    const std::string& body = split.body;
    const bool withBreak = text == title + "\r\n" + body;
    const bool plain = text == title + body;
    const bool droppedLead = title.size() < text.size() &&
                             isLeadByte(static_cast<unsigned char>(text[title.size()])) &&
                             text == title + text[title.size()] + "\r" + body && !body.empty() && body.front() == '\n';
    FUZZ_CHECK(withBreak || plain || droppedLead);
    const std::size_t firstLine = std::min(text.find("\r\n"), text.size());
    FUZZ_CHECK(title.size() + 1 >= std::min(firstLine, memoTitleLimit));
}

template <typename IsLeadByte>
void roundTripWrittenMemo(FuzzedDataProvider& input, IsLeadByte isLeadByte)
{
    std::string title = input.ConsumeRandomLengthString(300);
    title = title.substr(0, std::min(title.find("\r\n"), memoTitleLimit));
    while (!wholeCharacters(title, isLeadByte))
        title.pop_back();
    RecordIdNote note("");
    note.setNoteText(input.ConsumeRemainingBytesAsString());
    const MemoText split = splitMemoTextBy(title + "\r\n" + note.composeNote(), isLeadByte);
    FUZZ_CHECK(split.title == title);
    const RecordIdNote back(split.body);
    FUZZ_CHECK(back.getRecordId() == note.getRecordId());
    FUZZ_CHECK(back.getNoteText() == note.getNoteText());
}

void splitInBothCodePages(const std::string& text)
{
    splitArbitraryText(text, singleByte);
    splitArbitraryText(text, shiftJisLead);
}

void roundTripInEitherCodePage(FuzzedDataProvider& input)
{
    if (input.ConsumeBool())
        roundTripWrittenMemo(input, shiftJisLead);
    else
        roundTripWrittenMemo(input, singleByte);
}

}  // namespace

FUZZ_TARGET(splitInBothCodePages, roundTripInEitherCodePage)
