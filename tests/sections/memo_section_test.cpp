// The memo handler against the stand-in, and the split of a memo text into
// title and body in single- and double-byte code pages.
#include <gtest/gtest.h>

#include "sections/memo_section.h"
#include "section_test_support.h"

namespace {

using namespace sectiontest;
namespace key = fieldkey::memo;

TEST(MemoText, TitleIsTheFirstLineOfAtMost255BytesWithoutCuttingACharacter) {
    const std::string hiragana = "\x82\xa0", x255(255, 'x'), a254(254, 'a');  // one character of code page 932
    std::string hiragana200;
    for (int i = 0; i < 200; ++i) hiragana200 += hiragana;
    const struct { std::string text; UINT codePage; std::string title, body; } cases[] = {
        {"Shopping\r\nmilk\r\neggs", 1252, "Shopping", "milk\r\neggs"}, {"\r\nbody", 1252, "", "body"},
        {"only a title", 1252, "only a title", ""}, {"bare\nnewline", 1252, "bare\nnewline", ""}, {"", 1252, "", ""},
        {x255, 1252, x255, ""}, {x255 + "\r\nbody", 1252, x255, "body"}, {x255 + "u", 1252, x255, "u"},
        // A lead byte at byte 255 stays with its character, in the body.
        {a254 + hiragana + "rest", 932, a254, hiragana + "rest"},
        {a254 + hiragana + "rest", 1252, a254 + "\x82", "\xa0rest"},
        {hiragana200, 932, hiragana200.substr(0, 254), hiragana200.substr(254)},
        {hiragana + "\r\n" + hiragana, 932, hiragana, hiragana}};
    for (const auto& c : cases) {
        const MemoText split = MemoSectionImpl::splitMemoText(c.text, c.codePage);
        EXPECT_EQ(split.title + "|" + split.body, c.title + "|" + c.body) << c.codePage;
    }
}

class MemoSection : public ::testing::Test {
protected:
    MemoSection() { desk.memos().addCategory(L"Unfiled"); }
    std::string send(const Record& record) {
        std::string id;
        EXPECT_EQ(handlerOf<MemoSectionImpl>(desk, SectionMemo)->sendRecord(record, id), ResponseOk);
        return id;
    }
    std::vector<Record> exported() { return exportAll(*handlerOf<MemoSectionImpl>(desk, SectionMemo)); }
    standin::StandinDesktop desk;
};

Record memo(const std::string& title, const std::string& body, const std::string& category = "Unfiled") {
    return withFields({{key::Title, title}, {key::Body, body}, {key::Category, category}});
}

TEST_F(MemoSection, ExportSplitsTextAndKeepsIdentifier) {
    auto shopping = desk.addMemo(L"Unfiled", L"Shopping\r\nmilk");
    shopping->isPrivate = 1;
    auto title = desk.addMemo(L"Unfiled", L"just a title");
    auto longLine = desk.addMemo(L"Unfiled", std::wstring(300, L'x') + L"\r\nend");

    const std::vector<Record> first = exported();
    ASSERT_EQ(first.size(), 3u);
    auto part = [&](int i, const char* k) { return first[i].getField(k); };
    const std::string id = part(0, fieldkey::RecordId), longBody = std::string(45, 'x') + "\r\nend";
    EXPECT_EQ(id.size(), 38u);
    EXPECT_EQ(part(0, key::Title) + "/" + part(0, key::Body) + "/" + part(0, key::Category) + "/" +
                  part(0, key::Private),
              "Shopping/milk/Unfiled/1");
    EXPECT_EQ(shopping->text, L"Shopping\r\n" + composedNote(id, "milk"));
    EXPECT_EQ(part(1, key::Title) + "/" + part(1, key::Body), "just a title/");
    EXPECT_EQ(part(2, key::Body), longBody);
    EXPECT_EQ(longLine->text, std::wstring(255, L'x') + L"\r\n" + composedNote(part(2, fieldkey::RecordId), longBody));

    const std::wstring written = title->text;
    const std::vector<Record> second = exported();
    for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(second[i].save(), first[i].save());
    EXPECT_EQ(title->text, written);
}

// Only the body is searched: a tag in the first line is the title's text; a
// tag anywhere in the body is found. A new memo starts with the body, or the
// title when the body is empty.
TEST_F(MemoSection, SendKeepsTheMemosIdentifier) {
    const std::string id = "{0A1B2C3D-0000-4000-8000-00000000000A}";
    auto titled = desk.addMemo(L"Unfiled", composedNote(id, "body"));
    auto stored = desk.addMemo(L"Unfiled", L"Old\r\n" + composedNote(id, "old body"));
    desk.memos().addCategory(L"Work");

    Record update = memo("A", "B", "Work");
    update.putField(fieldkey::RecordId, id);
    update.putField(key::Private, "1");
    EXPECT_EQ(send(update), id);
    EXPECT_EQ(stored->text, L"A\r\n" + composedNote(id, "B"));
    EXPECT_EQ(stored->category + L"/" + std::to_wstring(stored->isPrivate), L"Work/1");
    stored->text = L"Moved\r\nuser text\r\n" + composedNote(id, "tail");
    EXPECT_EQ(send(update), id);
    EXPECT_EQ(stored->text, L"A\r\n" + composedNote(id, "B"));
    EXPECT_EQ(titled->text, composedNote(id, "body"));
    EXPECT_EQ(desk.memos().items().size(), 2u);

    Record fresh = memo("New", "text", "Ideas");
    fresh.putField(fieldkey::RecordId, id.substr(0, 37) + "0");
    const std::string answered = send(fresh);
    EXPECT_NE(answered, id);
    ASSERT_EQ(desk.memos().items().size(), 3u);
    EXPECT_EQ(desk.memos().items()[2]->text, L"New\r\n" + composedNote(answered, "text"));
    EXPECT_TRUE(desk.memos().hasCategory(L"Ideas"));

    EXPECT_EQ(handlerOf<MemoSectionImpl>(desk, SectionMemo)->deleteRecord(id), ResponseOk);
    EXPECT_TRUE(stored->deleted && !titled->deleted);

    desk.faults().failFrom("MemoItem.put_Category", 1, E_ACCESSDENIED);
    auto memos = handlerOf<MemoSectionImpl>(desk, SectionMemo);
    std::string created;
    EXPECT_EQ(memos->sendRecord(memo("Title only", ""), created), ResponseFailed);
    EXPECT_EQ(memos->sendRecord(memo("Title", "Body first"), created), ResponseFailed);
    EXPECT_EQ(memos->getLastError(), E_ACCESSDENIED);
    ASSERT_EQ(desk.memos().items().size(), 4u);
    EXPECT_EQ(desk.memos().items()[2]->text + L"/" + desk.memos().items()[3]->text, L"Title only/Body first");
}

}  // namespace
