// Every byte rule over code-page-932 names against the same rule on whole UTF-16 characters, for
// every two-byte character of code page 932 as the first, a middle and the last character of a
// level, in one- and two-level names, with and without a final separator.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "reference/NameRules.h"
#include "setup/FolderName.h"
#include "setup/SetupNames.h"
#include "util/Cp932.h"
#include "util/FolderPaths.h"
#include "util/Names.h"

namespace {

// Every two-byte character that code page 932 defines.
std::vector<std::string> TwoByteCharacters()
{
    std::vector<std::string> characters;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string character{static_cast<char>(lead), static_cast<char>(trail)};
            if (const auto wide = cp932::ToWide(character); wide && wide->size() == 1) characters.push_back(character);
        }
    }
    return characters;
}

// Where the character stands: X is replaced by it. Each also with a final backslash.
const char* const kPlaces[] = {
    "X", "aX", "aXb", "Xb", "d\\aX", "d\\aXb", "d\\Xb", "aX\\e", "Xb\\e", "aXb\\e", "C:\\G\\aX", "d/aX", "X.X", "aX.t",
};

template <class Text>
Text Flag(bool value)
{
    return value ? Text{'y'} : Text{'n'};
}
template <class Text>
Text Joined(const std::vector<Text>& parts)
{
    Text joined;
    for (const Text& part : parts) joined += part + Text{'\n'};
    return joined;
}
template <class Text>
Text Maybe(const std::optional<Text>& text)
{
    return text ? *text : Text{'-'};
}

// The byte rule's answer is compared with the reference's as UTF-16, so that a character with two
// code-page-932 spellings (≒ is 0x81 0xE0 and 0x87 0x90) compares as itself.
struct Rule {
    const char* name;
    std::function<std::string(const std::string&)> bytes;
    std::function<std::wstring(const std::wstring&)> wide;
};

}  // namespace

TEST(NameOracle, EveryByteRuleAgreesWithWholeCharactersForEveryTwoByteCharacter)
{
    using namespace reference;
    const std::string gameDir = "見本\\ドラゴン";  // ン's second byte lies in the lead-byte range
    const setup::FolderName game = *setup::FolderName::Parse(gameDir);
    using S = std::string;
    using W = std::wstring;
    const auto text = [](const std::optional<setup::FolderName>& name) {
        return name ? std::optional<S>(name->Text()) : std::nullopt;
    };
    const auto folder = [](const W& w) { return IsFolderName(w) ? std::optional<W>(w) : std::nullopt; };
    const Rule rules[] = {
        {"file-name part", [](const S& s) { return FileNamePart(s); }, [](const W& w) { return FileNamePart(w); }},
        {"stored name", [](const S& s) { return setup::StoredName(s); }, [](const W& w) { return StoredName(w); }},
        {"extension", [](const S& s) { return Extension(s); }, [](const W& w) { return Extension(w); }},
        {"lowering", [](const S& s) { return LowerAscii(s); }, [](const W& w) { return LowerAscii(w); }},
        {"sound entry", [](const S& s) { return Flag<S>(setup::IsSoundEntry(s)); },
         [](const W& w) { return Flag<W>(LowerAscii(FileNamePart(w)).compare(0, 3, L"wav") == 0); }},
        {"ends with a separator", [](const S& s) { return Flag<S>(EndsWithSeparator(s)); },
         [](const W& w) { return Flag<W>(EndsWithSeparator(w)); }},
        {"without the final separator", [](const S& s) { return WithoutFinalSeparator(s); },
         [](const W& w) { return WithoutFinalSeparator(w); }},
        {"file name", [](const S& s) { return Flag<S>(IsFileName(s)); }, [](const W& w) { return Flag<W>(IsFileName(w)); }},
        {"folder name (ShortCut)", [&](const S& s) { return Maybe(text(setup::FolderName::Parse(s))); },
         [&](const W& w) { return Maybe(folder(w)); }},
        {"folder name (InstallDir)", [&](const S& s) { return Maybe(text(setup::FolderName::ParseInstallDir(s))); },
         [&](const W& w) { return Maybe(folder(w)); }},
        {"shortcut file name", [](const S& s) { return Maybe(setup::ShortcutFileName(s)); },
         [](const W& w) { return Maybe(ShortcutFileName(w)); }},
        {"game's own folder", [&](const S& s) { return Flag<S>(game.IsLastLevelOf(s)); },
         [&](const W& w) { return Flag<W>(IsLastLevelOf(*cp932::ToWide(gameDir), w)); }},
        {"parents to remove", [](const S& s) { return Joined(folders::ParentsToRemove(s)); },
         [](const W& w) { return Joined(ParentsToRemove(w)); }},
    };

    const std::vector<std::string> characters = TwoByteCharacters();
    ASSERT_GT(characters.size(), 7000u);
    size_t compared = 0;
    for (const Rule& rule : rules) {
        int differences = 0;
        for (const std::string& character : characters) {
            for (const char* place : kPlaces) {
                for (const char* end : {"", "\\"}) {
                    std::string name;
                    for (const char* p = place; *p; ++p) name += *p == 'X' ? character : std::string(1, *p);
                    name += end;
                    const std::string bytes = rule.bytes(name);
                    const std::wstring wide = rule.wide(*cp932::ToWide(name));
                    ++compared;
                    if (cp932::ToWide(bytes) != wide && ++differences <= 3)
                        ADD_FAILURE() << rule.name << " of \"" << name << "\": \"" << bytes << "\", whole characters give \""
                                      << cp932::FromWideLossy(wide) << "\"";
                }
            }
        }
        EXPECT_EQ(differences, 0) << rule.name;
    }
    EXPECT_EQ(compared, std::size(rules) * characters.size() * std::size(kPlaces) * 2);
}
