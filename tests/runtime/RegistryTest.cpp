// The registry's key tree and its file text.
#include "common/com/Registry.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using velmora::com::registry::Registry;
using Names = std::vector<std::string>;

constexpr const char* kServer = "HKEY_CLASSES_ROOT\\CLSID\\{64603919-E8CF-4231-AEE1-0419E3EF438A}"
                                "\\InprocServer32";

// Names compare without case but keep their first spelling; empty components are ignored.
TEST(Registry, KeysAndValueNamesCompareWithoutCase) {
    Registry reg;
    reg.SetValue(kServer, "ThreadingModel", "Apartment");
    EXPECT_TRUE(reg.HasKey("hkey_classes_root\\clsid\\{64603919-e8cf-4231-aee1-0419e3ef438a}"));
    EXPECT_EQ(reg.GetValue("\\HKEY_CLASSES_ROOT\\\\CLSID\\{64603919-E8CF-4231-AEE1-0419E3EF438A}"
                           "\\INPROCSERVER32\\",
                           "threadingmodel"),
              "Apartment");
    reg.SetValue(kServer, "THREADINGMODEL", "Both");
    EXPECT_EQ(reg.GetValue(kServer, "ThreadingModel"), "Both");
    EXPECT_FALSE(reg.GetValue(kServer, ""));
    EXPECT_FALSE(reg.HasKey(""));
    EXPECT_EQ(reg.SubKeys("HKEY_CLASSES_ROOT\\CLSID\\{64603919-e8cf-4231-aee1-0419e3ef438a}"),
              Names{"InprocServer32"});
}

TEST(Registry, SubKeysAreDirectChildrenAndDeleteTreeTakesOnlyDescendants) {
    Registry reg;
    reg.CreateKey("R\\A\\deep");
    reg.CreateKey("R\\B");
    reg.CreateKey("R\\A b"); // sorts between "A" and "A\deep" in plain byte order
    reg.CreateKey("R\\AB");  // same prefix as "A"
    reg.CreateKey("RX");
    EXPECT_EQ(reg.SubKeys("R"), (Names{"A", "A b", "AB", "B"}));
    EXPECT_TRUE(reg.SubKeys("R\\Missing").empty());

    reg.DeleteTree("r\\a");
    EXPECT_FALSE(reg.HasKey("R\\A\\deep"));
    EXPECT_EQ(reg.SubKeys("R"), (Names{"A b", "AB", "B"}));
    reg.DeleteTree("R\\Missing"); // nothing to do
    reg.SetValue("R\\B", "", "v");
    reg.DeleteValue("R\\B", "");
    EXPECT_FALSE(reg.GetValue("R\\B", ""));
}

TEST(Registry, RefusesUnwritableKeyNames) {
    Registry reg;
    for (const char* bad : {"", "\\\\", "A\nB", "A\xFF"})
        EXPECT_THROW(reg.SetValue(bad, "", "v"), std::invalid_argument) << bad;
    EXPECT_FALSE(reg.HasKey("A\nB"));
}

TEST(Registry, FileTextRoundTripsAndReadsLikeARegistryFile) {
    Registry reg;
    reg.SetValue(kServer, "", "C:\\lib \"x\"");
    reg.SetValue(kServer, "ThreadingModel", "Apartment");
    reg.SetValue("K", "odd \"name\"", std::string("line\nbreak\ttab\r\x01\x7f\0end", 20));
    reg.SetValue("K", "bytes", "\xFF\xFE not UTF-8 \xC3");
    reg.SetValue("K", "unicode", "Grüße \U0001F600");
    reg.SetValue("K\\[brackets] ;x", "", "");
    reg.CreateKey("Empty\\Key");

    const std::string text = reg.Serialize();
    EXPECT_NE(text.find(std::string("[") + kServer + "]\n@=\"C:\\\\lib \\\"x\\\"\"\n" +
                        "\"ThreadingModel\"=\"Apartment\"\n"),
              std::string::npos)
        << text;
    const auto parsed = Registry::Parse(text);
    ASSERT_TRUE(parsed) << text;
    EXPECT_EQ(parsed->Serialize(), text);
    EXPECT_EQ(parsed->GetValue(kServer, ""), "C:\\lib \"x\"");
    EXPECT_EQ(parsed->GetValue("K", "ODD \"NAME\""),
              std::string("line\nbreak\ttab\r\x01\x7f\0end", 20));
    EXPECT_EQ(parsed->GetValue("K", "bytes"), "\xFF\xFE not UTF-8 \xC3");
    EXPECT_EQ(parsed->GetValue("K", "unicode"), "Grüße \U0001F600");
    EXPECT_TRUE(parsed->HasKey("K\\[brackets] ;x"));
    EXPECT_TRUE(parsed->HasKey("Empty\\Key"));
}

TEST(Registry, ReadsHandWrittenFiles) {
    const std::string text = "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
                             "\r\n"
                             "; a comment\r\n"
                             "  [HKEY_CLASSES_ROOT\\Velmora.Bug]  \r\n"
                             "@ = \"Bug Class\"\r\n"
                             "\"\"=\"default again\"\r\n"
                             "[HKEY_CLASSES_ROOT\\Velmora.Bug]\r\n"
                             "\"Second\"=\"merged\"";
    const auto parsed = Registry::Parse(text);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->GetValue("HKEY_CLASSES_ROOT\\Velmora.Bug", ""), "default again");
    EXPECT_EQ(parsed->GetValue("HKEY_CLASSES_ROOT\\Velmora.Bug", "Second"), "merged");
    EXPECT_TRUE(Registry::Parse("\n\n; only comments\n"));
}

TEST(Registry, RejectsGarbage) {
    const char* bad[] = {
        "@=\"value before any key\"",    "[Key]\n@=unquoted",
        "[Key]\n@=\"unterminated",       "[Key]\n@=\"bad escape \\q\"",
        "[Key]\n@=\"raw \x01 control\"", "[\\\\]",
        "[Key]\n@=\"not utf-8 \xFF\"",   "[Key]\n@=dword:00000001",
    };
    for (const char* text : bad)
        EXPECT_FALSE(Registry::Parse(text)) << text;
    EXPECT_FALSE(Registry::Parse(std::string("[Key]\n@=\"nul\0inside\"", 20)));
}

} // namespace
