// Any bytes as a path or a file-list entry: the name rules, and wherever the bytes are valid code
// page 932, the same rules on whole characters (tests/reference) give the same answers.

#include <iconv.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "Check.h"
#include "reference/NameRules.h"
#include "setup/FolderName.h"
#include "setup/SetupNames.h"
#include "util/FolderPaths.h"
#include "util/Names.h"

namespace {

bool EndsWith(const std::string& text, const std::string& tail)
{
    return tail.size() <= text.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Nothing when the bytes are no valid code page 932.
std::optional<std::wstring> Decode(const std::string& bytes)
{
    static const iconv_t convert = iconv_open("WCHAR_T", "CP932");
    FUZZ_CHECK(convert != reinterpret_cast<iconv_t>(-1));
    iconv(convert, nullptr, nullptr, nullptr, nullptr);
    std::wstring wide(bytes.size() + 1, L'\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* out = reinterpret_cast<char*>(wide.data());
    size_t outLeft = wide.size() * sizeof(wchar_t);
    if (iconv(convert, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
    wide.resize(wide.size() - outLeft / sizeof(wchar_t));
    return wide;
}

// The byte rule's text answer against the reference's, compared as whole characters.
void Same(const std::string& bytes, const std::wstring& wide)
{
    const auto decoded = Decode(bytes);
    FUZZ_CHECK(decoded && *decoded == wide);
}

template <class Text>
Text Maybe(const std::optional<Text>& text)
{
    return text ? *text : Text{'-'};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path(reinterpret_cast<const char*>(data), size);

    const std::string fileName = FileNamePart(path);
    FUZZ_CHECK(EndsWith(path, fileName));
    const std::string stored = setup::StoredName(path);
    FUZZ_CHECK(stored.empty() || stored == fileName);
    const std::string extension = Extension(path);
    FUZZ_CHECK(EndsWith(fileName, extension));
    FUZZ_CHECK(extension.empty() || extension[0] == '.');
    if (setup::IsSoundEntry(path)) FUZZ_CHECK(fileName.size() >= 3);
    const std::string folder = WithoutFinalSeparator(path);
    FUZZ_CHECK(folder == path || (folder.size() + 1 == path.size() && IsPathSeparator(path.back()) &&
                                  path.compare(0, folder.size(), folder) == 0));
    FUZZ_CHECK(FitsSystemPath(path) == (path.size() <= kMaxPathBytes));
    const auto shortcut = setup::ShortcutFileName(path);
    if (shortcut) FUZZ_CHECK(IsFileName(*shortcut));
    const auto folderName = setup::FolderName::Parse(path);
    FUZZ_CHECK(folderName.has_value() == IsFolderName(path));
    if (folderName) FUZZ_CHECK(folderName->Text() == path && folderName->IsLastLevelOf(path));

    const auto wide = Decode(path);
    if (!wide) return 0;
    Same(fileName, reference::FileNamePart(*wide));
    Same(stored, reference::StoredName(*wide));
    Same(extension, reference::Extension(*wide));
    Same(LowerAscii(path), reference::LowerAscii(*wide));
    Same(folder, reference::WithoutFinalSeparator(*wide));
    FUZZ_CHECK(EndsWithSeparator(path) == reference::EndsWithSeparator(*wide));
    FUZZ_CHECK(IsFileName(path) == reference::IsFileName(*wide));
    FUZZ_CHECK(IsFolderName(path) == reference::IsFolderName(*wide));
    Same(Maybe(shortcut), Maybe(reference::ShortcutFileName(*wide)));
    const auto parents = folders::ParentsToRemove(path);
    const auto wideParents = reference::ParentsToRemove(*wide);
    if (wideParents.size() < folders::kMaxSeparators) {
        FUZZ_CHECK(parents.size() == wideParents.size());
        for (size_t i = 0; i < parents.size(); ++i) Same(parents[i], wideParents[i]);
    }
    return 0;
}
