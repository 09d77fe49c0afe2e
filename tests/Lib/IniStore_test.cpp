#include "Lib/IniStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "Framework/Classes.h"
#include "Framework/Exception.h"
#include "Framework/Locale.h"
#include "Lib/IniStoreFile.h"
#include "LibTestSupport.h"

namespace {

std::vector<std::string> Keys(const TMemIniFile& ini, const std::string& section) {
    TStringList list;
    ini.ReadSection(section, list);
    std::vector<std::string> keys;
    for (int i = 0; i < list.Count(); ++i) keys.push_back(list.Strings(i));
    return keys;
}

// A store on a file that does not exist, filled from a text.
struct TTextIni {
    explicit TTextIni(const std::string& text) : Ini(Dir.File("settings.ini")) { Ini.SetText(text); }
    TTempDir Dir;
    TMemIniFile Ini;
};

}  // namespace

TEST(IniSyntax, SplitsAtEveryLineEndAndKeepsTheBytes) {
    // CR only, LF only, CR LF, and a last line without an end.
    TTextIni t("[A]\rone=1\ntwo=2\r\nthree=\x93\xfa\x96{\r\r\nfour=4");
    EXPECT_EQ(Keys(t.Ini, "A"), (std::vector<std::string>{"one", "two", "three", "four"}));
    EXPECT_EQ(t.Ini.ReadString("A", "three", "-"), "\x93\xfa\x96{");
    EXPECT_EQ(t.Ini.ReadString("A", "four", "-"), "4");
}

TEST(IniSyntax, DropsCommentsEmptyLinesAndLinesBeforeTheFirstSection) {
    TTextIni t("orphan=1\r\n; comment\r\n\r\n[A]\r\n;x=1\r\nx=2\r\n");
    EXPECT_EQ(SectionNames(t.Ini), std::vector<std::string>{"A"});
    EXPECT_EQ(t.Ini.ReadString("A", "x", "-"), "2");
    EXPECT_FALSE(t.Ini.ValueExists("A", ";x"));
    EXPECT_EQ(t.Ini.GetText(), "[A]\r\nx=2\r\n\r\n");
}

TEST(IniSyntax, ASectionLineIsBracketsWithOnlyBlanksAroundThem) {
    struct Case {
        const char* line;
        const char* section;  // null: no section line, the line stays in [Before]
    };
    const Case cases[] = {
        {"[ Blank Name ]", " Blank Name "},  // blanks inside are part of the name
        {"[]", ""},
        {"[a]b]", "a]b"},
        {"[#Item  01] ", "#Item  01"},
        {"[#Item  01]\t \t", "#Item  01"},
        {" \t[Indented]", "Indented"},
        {"\x81\x40[#Item  02]\x81\x40 ", "#Item  02"},  // full-width blanks
        {"[表]", "表"},  // the second byte of 表 is "\"
        {"[設定ゾ", nullptr},  // and that of ゾ is "]"
        {"[not a section", nullptr},
        {" x]", nullptr},
        {"[x] y", nullptr},
        {"[ ", nullptr},
    };
    for (const Case& c : cases) {
        TTextIni t(std::string("[Before]\r\n") + c.line + "\r\nk=v\r\n");
        if (c.section) {
            EXPECT_EQ(SectionNames(t.Ini), (std::vector<std::string>{"Before", c.section})) << c.line;
            EXPECT_EQ(t.Ini.ReadString(c.section, "k", "-"), "v") << c.line;
            // Written back in the program's own form.
            EXPECT_EQ(t.Ini.GetText(), std::string("[Before]\r\n\r\n[") + c.section + "]\r\nk=v\r\n\r\n") << c.line;
        } else {
            // Lines without "=" stay where they were and are written back.
            EXPECT_EQ(t.Ini.GetText(), std::string("[Before]\r\n") + c.line + "\r\nk=v\r\n\r\n") << c.line;
        }
    }
}

TEST(IniSyntax, TheKeyEndsAtTheFirstEqualsSign) {
    TTextIni t("[#Item  00]\r\nParams=/a=1\r\n=empty key\r\nName = spaced\r\nplain line\r\n");
    EXPECT_EQ(t.Ini.ReadString("#Item  00", "Params", "-"), "/a=1");
    EXPECT_EQ(t.Ini.ReadString("#Item  00", "", "-"), "empty key");
    EXPECT_EQ(t.Ini.ReadString("#Item  00", "Name ", "-"), " spaced");
    EXPECT_EQ(t.Ini.ReadString("#Item  00", "Name", "-"), "-");  // nothing trimmed
    EXPECT_FALSE(t.Ini.ValueExists("#Item  00", "plain line"));
    EXPECT_EQ(Keys(t.Ini, "#Item  00"), (std::vector<std::string>{"Params", "", "Name "}));
}

TEST(IniLookup, ReadsTheExactNameFirstThenTheFirstCaseInsensitiveMatch) {
    // "設定" and "表" (its second byte is "\") in a section name.
    TTextIni t("[ユーザー設定 Main]\r\nKey=1\r\nkey=2\r\n[USER]\r\nx=a\r\n[user]\r\nx=b\r\ny=c\r\n[表\\]\r\nz=1\r\n");
    EXPECT_EQ(t.Ini.ReadString("ユーザー設定 MAIN", "KEY", "-"), "1");
    EXPECT_EQ(t.Ini.ReadString("User", "X", "-"), "a");
    EXPECT_EQ(t.Ini.ReadString("user", "y", "-"), "c");  // the exact name, wherever it stands
    EXPECT_EQ(t.Ini.ReadString("表\\", "Z", "-"), "1");
    EXPECT_FALSE(t.Ini.SectionExists("ユーザー設定"));

    t.Ini.WriteString("ユーザー設定 Main", "KEY", "3");
    t.Ini.WriteString("User", "x", "d");  // to the exact name only
    const std::string head = "[ユーザー設定 Main]\r\nKEY=3\r\nkey=2\r\n\r\n[USER]\r\nx=a\r\n";
    EXPECT_EQ(t.Ini.GetText().substr(0, head.size()), head);
    EXPECT_EQ(t.Ini.ReadString("User", "X", "-"), "d");
}

TEST(IniWrite, ReplacesInPlaceAppendsToTheSectionAndAddsSectionsAtTheEnd) {
    TTextIni t("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
    t.Ini.WriteString("A", "X", "10");
    t.Ini.WriteString("A", "w", "4");
    t.Ini.WriteString("C", "v", "5");
    EXPECT_EQ(t.Ini.GetText(), "[A]\r\nX=10\r\ny=2\r\nw=4\r\n\r\n[B]\r\nz=3\r\n\r\n[C]\r\nv=5\r\n\r\n");
}

TEST(IniWrite, AnErasedSectionWrittenAgainGoesToTheEnd) {
    TTextIni t("[A]\r\nx=1\r\n[B]\r\n[C]\r\n");
    t.Ini.EraseSection("B");
    t.Ini.EraseSection("missing");
    EXPECT_FALSE(t.Ini.SectionExists("B"));
    t.Ini.WriteString("A", "x", "1");
    t.Ini.WriteString("B", "y", "2");
    EXPECT_EQ(SectionNames(t.Ini), (std::vector<std::string>{"A", "C", "B"}));
}

TEST(IniWrite, ModifiedTracksChangesSinceTheLastUpdate) {
    TTempDir dir;
    const std::string file = dir.File("s.ini");
    WriteFileBytes(file, "[A]\r\nx=1\r\n");
    TMemIniFile ini(file);
    EXPECT_FALSE(ini.Modified());
    ini.WriteString("A", "x", "1");
    ini.EraseSection("none");
    EXPECT_FALSE(ini.Modified()) << "nothing changed";
    ini.WriteString("A", "X", "1");
    EXPECT_TRUE(ini.Modified()) << "the key's spelling changed";
    ini.UpdateFile();
    EXPECT_FALSE(ini.Modified());
    ini.EraseSection("A");
    EXPECT_TRUE(ini.Modified());
}

TEST(IniValues, ReadBoolTakesIntegersAndFallsBackToTheDefault) {
    TTextIni t("[S]\r\nzero=0\r\none=1\r\nseven=7\r\nhex=0x1\r\nHEXZERO=0X0\r\ndollar=$1\r\nneg=-1\r\n"
               "abc=abc\r\nempty=\r\nblank= 1\r\n");
    struct Case {
        const char* key;
        bool whenDefaultFalse, whenDefaultTrue;
    };
    const Case cases[] = {{"zero", false, false}, {"one", true, true},   {"seven", true, true},
                          {"hex", true, true},    {"HEXZERO", false, false}, {"dollar", true, true},
                          {"neg", true, true},    {"abc", false, true},  {"empty", false, true},
                          {"missing", false, true}, {"blank", true, true}};
    for (const Case& c : cases) {
        EXPECT_EQ(t.Ini.ReadBool("S", c.key, false), c.whenDefaultFalse) << c.key;
        EXPECT_EQ(t.Ini.ReadBool("S", c.key, true), c.whenDefaultTrue) << c.key;
    }
    t.Ini.WriteBool("S", "b", true);
    t.Ini.WriteBool("S", "c", false);
    EXPECT_EQ(t.Ini.ReadString("S", "b", ""), "1");
    EXPECT_EQ(t.Ini.ReadString("S", "c", ""), "0");
}

TEST(IniValues, ReadDateTimeGivesTheDefaultForWhatDoesNotParse) {
    TTextIni t("[S]\r\nempty=\r\nbad=not a date\r\nday=2000/13/01 9:30:00\r\n");
    for (const char* key : {"empty", "bad", "day", "missing"}) EXPECT_EQ(t.Ini.ReadDateTime("S", key, 42.5), 42.5) << key;
    const TDateTime when = At(2000, 12, 1, 9, 30, 0);
    t.Ini.WriteDateTime("S", "when", when);
    EXPECT_EQ(t.Ini.ReadDateTime("S", "when", 0), when);
}

TEST(IniFile, AMissingFileIsAnEmptyStoreAndUpdateFileCreatesIt) {
    TTempDir dir;
    const std::string file = dir.File("new.ini");
    TMemIniFile ini(file);
    EXPECT_TRUE(SectionNames(ini).empty());
    ini.WriteString("A", "x", "1");
    EXPECT_FALSE(FileExists(file)) << "nothing reaches the disk before UpdateFile";
    ini.UpdateFile();
    EXPECT_EQ(ReadFileBytes(file), "[A]\r\nx=1\r\n\r\n");
    EXPECT_FALSE(FileExists(ReplacementFileName(file)));
}

TEST(IniFile, CommentsAndOrphanLinesAreGoneAfterWriteBack) {
    TTempDir dir;
    const std::string file = dir.File("s.ini");
    WriteFileBytes(file, "; settings\nfree line\n[A]\n;old=1\nx=1\n\n\n[B]\ny=2");
    TMemIniFile ini(file);
    ini.UpdateFile();
    EXPECT_EQ(ReadFileBytes(file), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n\r\n");
}

TEST(IniFile, AFileThatCantBeWrittenKeepsItsOldContent) {
    TTempDir dir;
    const std::string file = dir.File("s.ini");
    const std::string old = "[A]\r\nx=old\r\n";
    WriteFileBytes(file, old);
    TMemIniFile ini(file);
    ini.WriteString("A", "x", "new");

    // The new text can't be put beside the file: a folder holds its name.
    std::filesystem::create_directory(ReplacementFileName(file));
    try {
        ini.UpdateFile();
        ADD_FAILURE() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "ファイル " + file + " を作成できません");
    }
    EXPECT_EQ(ReadFileBytes(file), old);
    EXPECT_TRUE(std::filesystem::is_directory(ReplacementFileName(file))) << "not ours to remove";
    std::filesystem::remove(ReplacementFileName(file));

    // The new text is written but can't take the file's place: the file has
    // become a folder. The temporary file goes again.
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    std::filesystem::create_directory(file + "/inside");
    EXPECT_THROW(ini.UpdateFile(), EFCreateError);
    EXPECT_FALSE(FileExists(ReplacementFileName(file)));
    EXPECT_TRUE(std::filesystem::is_directory(file + "/inside"));
}

TEST(IniFile, AFolderThatDoesNotExistCantBeWritten) {
    TTempDir dir;
    const std::string file = dir.File("missing/s.ini");
    TMemIniFile ini(file);
    ini.WriteString("A", "x", "1");
    EXPECT_THROW(ini.UpdateFile(), EFCreateError);
}

TEST(IniFile, AFileThatIsThereButCantBeReadAsTextIsAnErrorNotAnEmptyStore) {
    TTempDir dir;
    const std::string folder = dir.File("folder.ini");
    std::filesystem::create_directory(folder);
    try {
        TMemIniFile ini(folder);
        ADD_FAILURE() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "ファイル " + folder + " を開けません");
    }

    const std::string items = "[#Item  00]\r\nName=A\r\n";
    std::string utf16;
    for (const char c : items) utf16 += std::string(1, c) + '\0';
    std::string utf16be;
    for (const char c : items) utf16be += std::string(1, '\0') + c;
    const struct {
        const char* name;
        std::string bytes;
    } refused[] = {
        {"UTF-16 with its mark", "\xFF\xFE" + utf16},
        {"UTF-16 big-endian with its mark", "\xFE\xFF" + utf16be},
        {"UTF-16 without a mark", utf16},
        {"zeros", std::string(64, '\0')},
        {"a NUL before the first section", std::string("; x\r\nk=\0\r\n", 10) + items},
    };
    const std::string file = dir.File("s.ini");
    for (const auto& c : refused) {
        WriteFileBytes(file, c.bytes);
        try {
            TMemIniFile ini(file);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.Message(), "ファイル " + file +
                                       " は設定ファイルの形式ではありません。"
                                       "ANSI (Shift-JIS) のテキストで保存し直してください。")
                << c.name;
        }
        EXPECT_EQ(ReadFileBytes(file), c.bytes) << c.name;
    }

    // A NUL after the first section line is read as it stands.
    WriteFileBytes(file, items + std::string("Params=a\0b\r\n", 12));
    TMemIniFile ini(file);
    EXPECT_EQ(ini.ReadString("#Item  00", "Params", "-"), std::string("a\0b", 3));
}

TEST(IniFile, AUtf8MarkAtTheStartIsSkippedAndNotWrittenBack) {
    TTempDir dir;
    const std::string file = dir.File("s.ini");
    // Only the very first bytes are the mark; further on they are text.
    WriteFileBytes(file, "\xEF\xBB\xBF[#Item  00]\r\nName=\x96\xBC\r\n\xEF\xBB\xBF[x]\r\n");
    TMemIniFile ini(file);
    EXPECT_EQ(SectionNames(ini), std::vector<std::string>{"#Item  00"});
    EXPECT_EQ(ini.ReadString("#Item  00", "Name", "-"), "\x96\xBC");
    ini.UpdateFile();
    EXPECT_EQ(ReadFileBytes(file), "[#Item  00]\r\nName=\x96\xBC\r\n\xEF\xBB\xBF[x]\r\n\r\n");
}

namespace {

// Compares like the platform does with its ignorable characters: byte 0x01
// counts for nothing, ASCII letters without case. Names holding it stay out
// of the section index and must still be found in file order.
class TIgnoringLocale : public TLocale {
public:
    int CompareText(const std::string& a, const std::string& b) const override {
        return FNative.CompareText(Strip(a), Strip(b));
    }
    int CompareStr(const std::string& a, const std::string& b) const override {
        return FNative.CompareStr(Strip(a), Strip(b));
    }
    bool IsLeadByte(unsigned char c) const override { return FNative.IsLeadByte(c); }

private:
    static std::string Strip(std::string s) {
        s.erase(std::remove(s.begin(), s.end(), '\x01'), s.end());
        return s;
    }
    TNativeLocale FNative;
};

// The store without its index: sections and keys searched one by one.
class TReferenceIni {
public:
    std::string Read(const std::string& s, const std::string& k) const {
        for (const auto& sec : FSections)
            if (sec.first == s) return Value(sec.second, k);
        for (const auto& sec : FSections)
            if (Locale().CompareText(sec.first, s) == 0) return Value(sec.second, k);
        return "-";
    }
    void Write(const std::string& s, const std::string& k, const std::string& v) {
        for (auto& sec : FSections)
            if (sec.first == s) {
                for (auto& kv : sec.second)
                    if (Locale().CompareText(kv.first, k) == 0) {
                        kv = {k, v};
                        return;
                    }
                sec.second.push_back({k, v});
                return;
            }
        FSections.push_back({s, {{k, v}}});
    }
    // A section as a file may hold it, beside others that match its name.
    void Add(const std::string& s, const std::string& k, const std::string& v) { FSections.push_back({s, {{k, v}}}); }
    void Erase(const std::string& s) {
        for (auto it = FSections.begin(); it != FSections.end(); ++it)
            if (it->first == s) {
                FSections.erase(it);
                return;
            }
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& sec : FSections) names.push_back(sec.first);
        return names;
    }

private:
    using TKeys = std::vector<std::pair<std::string, std::string>>;
    static std::string Value(const TKeys& keys, const std::string& k) {
        for (const auto& kv : keys)
            if (Locale().CompareText(kv.first, k) == 0) return kv.second;
        return "-";
    }
    std::vector<std::pair<std::string, TKeys>> FSections;
};

}  // namespace

TEST(IniLookup, TheSectionIndexFindsWhatASearchInFileOrderFinds) {
    TIgnoringLocale locale;
    SetLocale(&locale);
    struct TRestore {
        ~TRestore() { SetLocale(nullptr); }
    } restore;
    const std::vector<std::string> names = {"Alpha", "ALPHA", "al\x01pha", "Be-ta", "BE-TA", "beta",
                                            "設定",  "設定X", "設定x",     "#Item  00", "#item  00", "x"};
    const std::vector<std::string> keys = {"k", "K", "k\x01", "-k"};
    TTempDir dir;
    TMemIniFile ini(dir.File("s.ini"));
    TReferenceIni reference;
    // The file starts with every name as a section of its own: the twins that
    // only a hand-made file holds, the lower-case ones first.
    std::string text;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        text += "[" + *it + "]\r\nk=" + *it + "\r\n";
        reference.Add(*it, "k", *it);
    }
    ini.SetText(text);
    std::mt19937 random(20001201);
    auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    for (int step = 0; step < 1500; ++step) {
        const std::string s = pick(names);
        if (random() % 4 == 0) {
            ini.EraseSection(s);
            reference.Erase(s);
        } else {
            const std::string k = pick(keys), v = std::to_string(step);
            ini.WriteString(s, k, v);
            reference.Write(s, k, v);
        }
        for (const std::string& name : names)
            for (const std::string& key : keys) {
                ASSERT_EQ(ini.ReadString(name, key, "-"), reference.Read(name, key))
                    << "step " << step << " [" << name << "] " << key;
            }
        ASSERT_EQ(SectionNames(ini), reference.Names()) << "step " << step;
    }
}
