#include "files/GbkText.h"
#include "files/IniText.h"

#include <gtest/gtest.h>

#include <string>

namespace palvina {
namespace {

struct LookupCase {
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::string expected;
};

class IniLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(IniLookup, ReadsValue)
{
    const LookupCase& c = GetParam();
    EXPECT_EQ(IniText::Lookup(c.file, c.section, c.key), c.expected);
    EXPECT_EQ(IniText(c.file).value(c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Files, IniLookup,
    testing::Values(
        LookupCase{"LowerCaseKey", "[App]\r\nplaypath=C:/x/\r\n", "App", "PlayPath", "C:/x/"},
        LookupCase{"SectionAnyCase", "[app]\r\nA=1\r\n", "APP", "a", "1"},
        LookupCase{"BlanksTrimmed", "[App]\r\nKey =  \t two words \t \r\n", "App", "Key", "two words"},
        LookupCase{"BlanksAroundNames", "  [ App ]  \r\n  K  = 1\r\n", "App", " K ", "1"},
        LookupCase{"FirstKeyWins", "[App]\r\nK=1\r\nk=2\r\n", "App", "K", "1"},
        LookupCase{"FirstSectionWins", "[App]\r\nK=1\r\n[APP]\r\nK=2\r\n", "App", "K", "1"},
        LookupCase{"LaterDuplicateSectionNotSearched", "[App]\r\nK=1\r\n[App]\r\nJ=3\r\n", "App", "J", ""},
        LookupCase{"TextAfterFirstEquals", "[App]\r\nK=a=b\r\n", "App", "K", "a=b"},
        LookupCase{"EmptyValue", "[App]\r\nK=\r\n", "App", "K", ""},
        LookupCase{"MissingSection", "[App]\r\nK=1\r\n", "Other", "K", ""},
        LookupCase{"MissingKey", "[App]\r\nK=1\r\n", "App", "J", ""},
        LookupCase{"KeyOfNextSection", "[A]\r\n[B]\r\nK=1\r\n", "A", "K", ""},
        LookupCase{"KeyBeforeAnySection", "K=1\r\n[App]\r\n", "App", "K", ""},
        LookupCase{"LineWithoutEqualsIsNoKey", "[App]\r\nK\r\nK=2\r\n", "App", "K", "2"},
        LookupCase{"LfLineEnds", "[App]\nK=1\nJ=2\n", "App", "J", "2"},
        LookupCase{"NoFinalLineEnd", "[App]\r\nK=1", "App", "K", "1"},
        LookupCase{"EmptyFile", "", "App", "K", ""},
        LookupCase{"ByteOrderMark", "\x84\x31\x95\x33[App]\r\nK=1\r\n", "App", "K", "1"},
        LookupCase{"ChineseNames", "[\xC6\xB5\xB5\xC0]\r\n\xC3\xFB\xB3\xC6=\xD6\xD0\xCE\xC4\r\n", "频道", "名称", "中文"},
        // 0x815D is one character whose second byte is ']'; the header closes at the last ']'.
        LookupCase{"BracketAsTrailByte", "[\x81\x5D" "a]\r\nK=1\r\n", "乚a", "K", "1"},
        LookupCase{"OddBytesElsewhere", "[A]\r\n\xFF\xFE=\x81\r\n[App]\r\nK=1\r\n", "App", "K", "1"}),
    [](const auto& info) { return info.param.name; });

TEST(IniText, TrailByteIsNeverCaseFolded)
{
    // 0x8141 and 0x8161 differ only in a trail byte that looks like 'A' / 'a'.
    const std::string file = "[\x81\x41]\r\nK=1\r\n";
    EXPECT_EQ(IniText::Lookup(file, GbkToUtf8("\x81\x41"), "K"), "1");
    EXPECT_EQ(IniText::Lookup(file, GbkToUtf8("\x81\x61"), "K"), "");
}

TEST(IniText, ValueIsCutTo2047BytesOnCharacterBoundary)
{
    const std::string fits(2045, 'a');
    const std::string split(2046, 'a');
    // GB18030 "中" is two bytes: it ends at byte 2047 after 2045 'a', at 2048 after 2046.
    EXPECT_EQ(IniText::Lookup("[S]\r\nK=" + fits + "\xD6\xD0xyz\r\n", "S", "K"), fits + "中");
    EXPECT_EQ(IniText::Lookup("[S]\r\nK=" + split + "\xD6\xD0xyz\r\n", "S", "K"), split);
    EXPECT_EQ(IniText::Lookup("[S]\r\nK=" + std::string(3000, 'b') + "\r\n", "S", "K"), std::string(2047, 'b'));
}

struct EditCase {
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::string value;
    std::string expected;
};

class IniEdit : public testing::TestWithParam<EditCase> {};

TEST_P(IniEdit, WritesValue)
{
    const EditCase& c = GetParam();
    IniText text(c.file);
    ASSERT_TRUE(text.setValue(c.section, c.key, c.value));
    EXPECT_EQ(text.bytes(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Files, IniEdit,
    testing::Values(
        EditCase{"ReplaceKeepsOtherBytes", "; \xFF odd\r\n[App]\r\nA=1\r\nB=2\r\n\r\n[Other]\r\nB=3\r\n", "app", "b", "x",
                 "; \xFF odd\r\n[App]\r\nA=1\r\nB=x\r\n\r\n[Other]\r\nB=3\r\n"},
        EditCase{"ReplaceKeepsKeySpelling", "[App]\r\nplaypath = old \r\n", "App", "PlayPath", "new",
                 "[App]\r\nplaypath=new\r\n"},
        EditCase{"AddKeyAfterLastKey", "[App]\r\nA=1\r\nnote\r\n\r\n[Other]\r\nC=3\r\n", "App", "D", "4",
                 "[App]\r\nA=1\r\nD=4\r\nnote\r\n\r\n[Other]\r\nC=3\r\n"},
        EditCase{"AddKeyToSectionWithoutKeys", "[App]\r\n\r\n[B]\r\n", "App", "K", "v", "[App]\r\nK=v\r\n\r\n[B]\r\n"},
        EditCase{"AddSectionAtEnd", "[App]\r\nA=1", "New", "K", "v", "[App]\r\nA=1\r\n[New]\r\nK=v\r\n"},
        EditCase{"CreateInEmptyFile", "", "App", "K", "v", "[App]\r\nK=v\r\n"},
        EditCase{"EmptyValueKeepsKey", "[App]\r\nK=1\r\n", "App", "K", "", "[App]\r\nK=\r\n"},
        EditCase{"LfBecomesCrLf", "[App]\nA=1\n", "App", "B", "2", "[App]\r\nA=1\r\nB=2\r\n"},
        EditCase{"FirstOfDuplicateSections", "[App]\r\n[App]\r\nK=1\r\n", "App", "K", "2",
                 "[App]\r\nK=2\r\n[App]\r\nK=1\r\n"},
        EditCase{"NamesTrimmed", "", " App ", " K ", " v ", "[App]\r\nK= v \r\n"},
        EditCase{"ChineseAsGb18030", "", "频道", "名称", "中文", "[\xC6\xB5\xB5\xC0]\r\n\xC3\xFB\xB3\xC6=\xD6\xD0\xCE\xC4\r\n"}),
    [](const auto& info) { return info.param.name; });

TEST(IniText, RefusesWhatTheFormatCannotHold)
{
    const std::string file = "[App]\r\nK=1\r\n";
    IniText text(file);
    EXPECT_FALSE(text.setValue("App", "a=b", "1"));
    EXPECT_FALSE(text.setValue("App", "[x", "1"));
    EXPECT_FALSE(text.setValue("App", "K", "one\r\n[Evil]"));
    EXPECT_FALSE(text.setValue("A\nB", "K", "1"));
    EXPECT_EQ(text.bytes(), file);
}

TEST(IniText, WrittenValueReadsBackTrimmed)
{
    IniText text;
    ASSERT_TRUE(text.setValue("App", "Title", "  空间-相册  "));
    EXPECT_EQ(text.value("app", "title"), "空间-相册");
}

struct EraseCase {
    const char* name;
    std::string file;
    std::string section;
    bool erased;
    std::string expected;
};

class IniErase : public testing::TestWithParam<EraseCase> {};

TEST_P(IniErase, ErasesSection)
{
    const EraseCase& c = GetParam();
    IniText text(c.file);
    EXPECT_EQ(text.eraseSection(c.section), c.erased);
    EXPECT_EQ(text.bytes(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Files, IniErase,
    testing::Values(
        EraseCase{"HeaderAndKeys", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nz=3\r\n", "b", true,
                  "[A]\r\nx=1\r\n\r\n[C]\r\nz=3\r\n"},
        EraseCase{"SectionWithoutKeysStays", "[A]\r\nx=1\r\n[Empty]\r\n\r\n[B]\r\ny=2\r\n", "Empty", false,
                  "[A]\r\nx=1\r\n[Empty]\r\n\r\n[B]\r\ny=2\r\n"},
        EraseCase{"MissingSection", "[A]\r\nx=1\r\n", "B", false, "[A]\r\nx=1\r\n"},
        EraseCase{"LaterDuplicatesToo", "[B]\r\ny=1\r\n[A]\r\nx=1\r\n[b]\r\ny=2\r\n", "B", true, "[A]\r\nx=1\r\n"}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace palvina
