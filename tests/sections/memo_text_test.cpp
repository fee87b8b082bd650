// The split of a memo text into title and body, in single- and double-byte
// code pages.
#include <string>

#include <gtest/gtest.h>

#include "sections/memo_section.h"

namespace {

constexpr UINT westernCodePage = 1252;
constexpr UINT japaneseCodePage = 932;
const std::string hiragana = "\x82\xa0";  // one double-byte character of code page 932

MemoText split(const std::string& text, UINT codePage = westernCodePage) {
    return MemoSectionImpl::splitMemoText(text, codePage);
}

TEST(MemoText, FirstLineIsTheTitle) {
    EXPECT_EQ(split("Shopping\r\nmilk\r\neggs").title, "Shopping");
    EXPECT_EQ(split("Shopping\r\nmilk\r\neggs").body, "milk\r\neggs");
    EXPECT_EQ(split("\r\nbody").title, "");
    EXPECT_EQ(split("\r\nbody").body, "body");
    EXPECT_EQ(split("only a title").title, "only a title");
    EXPECT_EQ(split("only a title").body, "");
    EXPECT_EQ(split("bare\nnewline").title, "bare\nnewline");
    EXPECT_EQ(split("").title, "");
    EXPECT_EQ(split("").body, "");
}

TEST(MemoText, TitleStopsAt255Bytes) {
    const std::string exact(255, 't');
    EXPECT_EQ(split(exact).title, exact);
    EXPECT_EQ(split(exact).body, "");
    EXPECT_EQ(split(exact + "\r\nbody").body, "body");

    // A longer first line goes on in the body, line break and all.
    const std::string line(300, 'x');
    const MemoText longLine = split(line + "\r\nnext");
    EXPECT_EQ(longLine.title, std::string(255, 'x'));
    EXPECT_EQ(longLine.body, std::string(45, 'x') + "\r\nnext");
    EXPECT_EQ(split(exact + "u").body, "u");
}

TEST(MemoText, DoubleByteCharacterIsNotCut) {
    const std::string text = std::string(254, 'a') + hiragana + "rest";
    const MemoText japanese = split(text, japaneseCodePage);
    EXPECT_EQ(japanese.title, std::string(254, 'a'));
    EXPECT_EQ(japanese.body, hiragana + "rest");

    // In a single-byte code page the same bytes are 255 characters.
    EXPECT_EQ(split(text, westernCodePage).title.size(), 255u);

    std::string wide;
    for (int i = 0; i < 200; ++i) wide += hiragana;
    EXPECT_EQ(split(wide, japaneseCodePage).title.size(), 254u);
    EXPECT_EQ(split(wide, japaneseCodePage).body.size(), 146u);
    EXPECT_EQ(split(hiragana + "\r\n" + hiragana, japaneseCodePage).title, hiragana);
    EXPECT_EQ(split(hiragana + "\r\n" + hiragana, japaneseCodePage).body, hiragana);
}

}  // namespace
