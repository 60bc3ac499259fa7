#include "app/HandOver.h"

#include <windows.h>
#include <shlobj.h>

#include "setup/ProgramsEntry.h"
#include "util/Cp932.h"
#include "util/Folders.h"
#include "util/Format.h"
#include "util/Handles.h"
#include "util/Names.h"
#include "util/Shell.h"

namespace {

// Removes the folders that earlier hand-overs of `name` left in `tempFolder` (`name` + " " + a
// number) once no process runs their copy. A running program's file cannot be opened for writing
// without sharing, on Windows (its image is mapped) as under Wine (which deletes it all the same,
// so deleting is no test): only a copy that opens so is deleted, as it is closed.
void RemoveFinishedCopies(const std::string& tempFolder, const std::string& name)
{
    const auto pattern = cp932::ToWide(tempFolder + name + " *");
    if (!pattern) return;
    WIN32_FIND_DATAW found{};
    const FindHandle search(::FindFirstFileW(pattern->c_str(), &found));
    if (!search) return;
    do {
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const auto entry = cp932::FromWide(found.cFileName);
        if (!entry || entry->size() <= name.size() + 1 ||
            entry->find_first_not_of("0123456789", name.size() + 1) != std::string::npos)
            continue;
        const std::string folder = tempFolder + *entry;
        const auto program = cp932::ToWide(folder + "\\" + setup::entry::kProgram);
        if (!program || !FitsSystemPath(folder + "\\" + setup::entry::kProgram)) continue;
        {
            const FileHandle unused(::CreateFileW(program->c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                                                  FILE_FLAG_DELETE_ON_CLOSE, nullptr));
            if (!unused && ::GetLastError() != ERROR_FILE_NOT_FOUND) continue;  // still running
        }
        setup::entry::RemoveProgramCopy(folder);
    } while (::FindNextFileW(search.Get(), &found));
}

}  // namespace

bool HandOver(const std::string& program)
{
    // The program's folder and that folder's name; no Setup.ini is read for this at every start.
    const std::string folder = WithoutFinalSeparator(program.substr(0, program.size() - FileNamePart(program).size()));
    const std::string name = FileNamePart(folder);
    const std::string lowered = LowerAscii(name);
    const std::string suffix = LowerAscii(setup::entry::kFolderSuffix);
    // Every start passes here: the shell is asked only when the folder's name can be an uninstaller's.
    if (lowered.size() <= suffix.size() || lowered.compare(lowered.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    std::string local;
    if (!GetSpecialFolderPath(nullptr, local, CSIDL_LOCAL_APPDATA, true) ||
        LowerAscii(local + "\\" + name) != LowerAscii(folder))
        return false;

    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    const auto tempFolder = length > 0 && length <= MAX_PATH ? cp932::FromWide(temp) : std::nullopt;
    if (!tempFolder) return false;
    RemoveFinishedCopies(*tempFolder, name);
    // A folder of its own for each hand-over: an earlier copy may still be running.
    std::string copy;
    for (unsigned n = ::GetCurrentProcessId();; ++n) {
        copy = *tempFolder + name + Format(" %d", static_cast<long long>(n));
        if (!FitsSystemPath(copy + "\\" + setup::entry::kProgram)) return false;
        if (CreateFolderPath(copy)) break;
        if (n == ::GetCurrentProcessId() + 100) return false;
    }
    const auto wideProgram = cp932::ToWide(copy + "\\" + setup::entry::kProgram);
    const auto wideFolder = cp932::ToWide(copy);
    std::wstring commandLine = wideProgram ? L"\"" + *wideProgram + L"\"" : std::wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // A copy that cannot be made whole (a full disk) or started leaves nothing behind.
    if (!wideProgram || !wideFolder || !setup::entry::CopyProgram(program, copy) ||
        !::CreateProcessW(wideProgram->c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          wideFolder->c_str(), &startup, &started)) {
        setup::entry::RemoveProgramCopy(copy);
        return false;
    }
    const KernelHandle process(started.hProcess);
    const KernelHandle thread(started.hThread);
    return true;
}
