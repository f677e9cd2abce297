// The registry's key tree and its file text.
#include "common/com/Registry.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace {

using velmora::com::registry::Registry;

constexpr const char* kClass = "HKEY_CLASSES_ROOT\\CLSID\\{64603919-E8CF-4231-AEE1-0419E3EF438A}";

TEST(Registry, CreatesParentsAndComparesWithoutCase) {
    Registry reg;
    reg.CreateKey(std::string(kClass) + "\\Programmable");
    EXPECT_TRUE(reg.HasKey("HKEY_CLASSES_ROOT"));
    EXPECT_TRUE(reg.HasKey("hkey_classes_root\\clsid"));
    EXPECT_TRUE(reg.HasKey("HKEY_CLASSES_ROOT\\CLSID\\{64603919-e8cf-4231-aee1-0419e3ef438a}"));
    EXPECT_FALSE(reg.HasKey("HKEY_CLASSES_ROOT\\Other"));
    EXPECT_FALSE(reg.HasKey(""));

    reg.SetValue(std::string(kClass) + "\\InprocServer32", "ThreadingModel", "Apartment");
    EXPECT_EQ(reg.GetValue(std::string(kClass) + "\\INPROCSERVER32", "threadingmodel"),
              "Apartment");
    reg.SetValue(std::string(kClass) + "\\InprocServer32", "THREADINGMODEL", "Both");
    EXPECT_EQ(reg.GetValue(std::string(kClass) + "\\InprocServer32", "ThreadingModel"), "Both");
    EXPECT_FALSE(reg.GetValue(std::string(kClass) + "\\InprocServer32", ""));
    EXPECT_FALSE(reg.GetValue("HKEY_CLASSES_ROOT\\Missing", ""));
}

TEST(Registry, KeepsTheFirstSpellingOfANameAndIgnoresEmptyComponents) {
    Registry reg;
    reg.CreateKey("HKEY_CLASSES_ROOT\\Velmora.Bug");
    reg.SetValue("\\hkey_classes_root\\\\velmora.bug\\CLSID\\", "", "x");
    EXPECT_EQ(reg.SubKeys("HKEY_CLASSES_ROOT"), std::vector<std::string>{"Velmora.Bug"});
    EXPECT_EQ(reg.SubKeys("HKEY_CLASSES_ROOT\\Velmora.Bug"), std::vector<std::string>{"CLSID"});
    EXPECT_EQ(reg.SubKeys(""), std::vector<std::string>{"HKEY_CLASSES_ROOT"});
}

TEST(Registry, SubKeysAreDirectChildrenOnly) {
    Registry reg;
    reg.CreateKey("R\\A\\deep");
    reg.CreateKey("R\\B");
    reg.CreateKey("R\\A b"); // sorts between "A" and "A\deep" in plain byte order
    reg.CreateKey("RX");
    EXPECT_EQ(reg.SubKeys("R"), (std::vector<std::string>{"A", "A b", "B"}));
    EXPECT_EQ(reg.SubKeys("R\\A"), std::vector<std::string>{"deep"});
    EXPECT_TRUE(reg.SubKeys("R\\Missing").empty());
}

TEST(Registry, DeleteTreeRemovesTheKeyAndItsDescendantsOnly) {
    Registry reg;
    reg.SetValue("HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32", "", "lib");
    reg.SetValue("HKEY_CLASSES_ROOT\\CLSID\\{A}B", "", "sibling with the same prefix");
    reg.SetValue("HKEY_CLASSES_ROOT\\CLSID\\{B}", "", "other");
    reg.DeleteTree("hkey_classes_root\\clsid\\{a}");
    EXPECT_FALSE(reg.HasKey("HKEY_CLASSES_ROOT\\CLSID\\{A}"));
    EXPECT_FALSE(reg.HasKey("HKEY_CLASSES_ROOT\\CLSID\\{A}\\InprocServer32"));
    EXPECT_TRUE(reg.HasKey("HKEY_CLASSES_ROOT\\CLSID\\{A}B"));
    EXPECT_TRUE(reg.HasKey("HKEY_CLASSES_ROOT\\CLSID\\{B}"));
    EXPECT_TRUE(reg.HasKey("HKEY_CLASSES_ROOT\\CLSID"));
    reg.DeleteTree("HKEY_CLASSES_ROOT\\CLSID\\{Missing}"); // nothing to do
    reg.DeleteValue("HKEY_CLASSES_ROOT\\CLSID\\{B}", "");
    EXPECT_FALSE(reg.GetValue("HKEY_CLASSES_ROOT\\CLSID\\{B}", ""));
}

TEST(Registry, RefusesUnwritableKeyNames) {
    Registry reg;
    EXPECT_THROW(reg.CreateKey(""), std::invalid_argument);
    EXPECT_THROW(reg.CreateKey("\\\\"), std::invalid_argument);
    EXPECT_THROW(reg.CreateKey("A\nB"), std::invalid_argument);
    EXPECT_THROW(reg.SetValue("A\xFF", "", "v"), std::invalid_argument);
    EXPECT_FALSE(reg.HasKey("A\nB"));
}

TEST(Registry, FileTextRoundTrips) {
    Registry reg;
    reg.SetValue("HKEY_CLASSES_ROOT\\Velmora.Bug.1", "", "Bug Class");
    reg.SetValue("HKEY_CLASSES_ROOT\\Velmora.Bug.1\\CLSID", "",
                 "{64603919-E8CF-4231-AEE1-0419E3EF438A}");
    reg.SetValue("HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32", "", "/opt/a \"b\"\\c.so");
    reg.SetValue("HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32", "ThreadingModel", "Apartment");
    reg.SetValue("K", "odd \"name\"", std::string("line\nbreak\ttab\r\x01\x7f\0end", 20));
    reg.SetValue("K", "bytes", "\xFF\xFE not UTF-8 \xC3");
    reg.SetValue("K", "unicode", "Grüße \U0001F600");
    reg.SetValue("K\\[brackets] ;x", "", "");
    reg.CreateKey("Empty\\Key");

    const std::string text = reg.Serialize();
    const auto parsed = Registry::Parse(text);
    ASSERT_TRUE(parsed) << text;
    EXPECT_EQ(parsed->Serialize(), text);
    EXPECT_EQ(parsed->GetValue("HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32", ""),
              "/opt/a \"b\"\\c.so");
    EXPECT_EQ(parsed->GetValue("K", "ODD \"NAME\""),
              std::string("line\nbreak\ttab\r\x01\x7f\0end", 20));
    EXPECT_EQ(parsed->GetValue("K", "bytes"), "\xFF\xFE not UTF-8 \xC3");
    EXPECT_EQ(parsed->GetValue("K", "unicode"), "Grüße \U0001F600");
    EXPECT_EQ(parsed->GetValue("K\\[brackets] ;x", ""), "");
    EXPECT_TRUE(parsed->HasKey("Empty\\Key"));
}

TEST(Registry, FileTextIsReadableRegistryStyle) {
    Registry reg;
    reg.SetValue("HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32", "", "C:\\lib \"x\"");
    reg.SetValue("HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32", "ThreadingModel", "Apartment");
    const std::string text = reg.Serialize();
    EXPECT_NE(text.find("[HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32]\n"
                        "@=\"C:\\\\lib \\\"x\\\"\"\n"
                        "\"ThreadingModel\"=\"Apartment\"\n"),
              std::string::npos)
        << text;
}

TEST(Registry, ReadsHandWrittenFiles) {
    const std::string text = "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
                             "\r\n"
                             "; a comment\r\n"
                             "  [HKEY_CLASSES_ROOT\\Velmora.Bug]  \r\n"
                             "@ = \"Bug Class\"\r\n"
                             "\"\"=\"default again\"\r\n"
                             "\"Tabbed\"=\"a\tb\"\r\n"
                             "[HKEY_CLASSES_ROOT\\Velmora.Bug]\r\n"
                             "\"Second\"=\"merged\"";
    const auto parsed = Registry::Parse(text);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->GetValue("HKEY_CLASSES_ROOT\\Velmora.Bug", ""), "default again");
    EXPECT_EQ(parsed->GetValue("HKEY_CLASSES_ROOT\\Velmora.Bug", "Tabbed"), "a\tb");
    EXPECT_EQ(parsed->GetValue("HKEY_CLASSES_ROOT\\Velmora.Bug", "Second"), "merged");
}

TEST(Registry, RejectsGarbage) {
    const char* bad[] = {
        "just some words",
        "@=\"value before any key\"",
        "[Key]\n@=unquoted",
        "[Key]\n@=\"unterminated",
        "[Key]\n@=\"bad escape \\q\"",
        "[Key]\n@=\"short hex \\x4\"",
        "[Key]\n@=\"ok\" trailing",
        "[Key]\n\"name\"\"missing equals\"",
        "[Key]\n@=\"raw \x01 control\"",
        "[Unclosed",
        "[]",
        "[\\\\]",
        "[Key\x01]",
        "[Key]\n@=\"not utf-8 \xFF\"",
        "[Key]\n@=dword:00000001",
        "Windows Registry Editor Version 5.00\nWindows Registry Editor Version 5.00",
    };
    for (const char* text : bad)
        EXPECT_FALSE(Registry::Parse(text)) << text;
    EXPECT_FALSE(Registry::Parse(std::string("[Key]\n@=\"nul\0inside\"", 20)));
    EXPECT_TRUE(Registry::Parse(""));
    EXPECT_TRUE(Registry::Parse("\n\n; only comments\n"));
}

TEST(Registry, SurvivesArbitraryBytes) {
    // Random and mutated inputs must be refused or accepted, never crash; what is accepted must
    // write back as text that reads the same.
    Registry sample;
    sample.SetValue("HKEY_CLASSES_ROOT\\A\\B", "", "value \"q\" \\ end");
    sample.SetValue("HKEY_CLASSES_ROOT\\A\\B", "name", "x");
    const std::string seed = sample.Serialize();
    std::mt19937 random(12345);
    for (int round = 0; round < 3000; ++round) {
        std::string text = seed;
        const int edits = 1 + int(random() % 8);
        for (int e = 0; e < edits; ++e) {
            const size_t pos = random() % (text.size() + 1);
            switch (random() % 3) {
            case 0:
                text.insert(pos, 1, static_cast<char>(random() % 256));
                break;
            case 1:
                if (pos < text.size()) text.erase(pos, 1);
                break;
            default:
                if (pos < text.size()) text[pos] = static_cast<char>(random() % 256);
                break;
            }
        }
        const auto parsed = Registry::Parse(text);
        if (parsed) {
            const auto again = Registry::Parse(parsed->Serialize());
            ASSERT_TRUE(again) << text;
            EXPECT_EQ(again->Serialize(), parsed->Serialize());
        }
    }
}

} // namespace
