#include "forms/Messages.h"

#include "toolkit/Error.h"
#include "toolkit/Person.h"

namespace forms {

namespace {

const char* CopyFailureText(Failure failure) noexcept
{
    switch (failure) {
    case Failure::NoMemory: return "メモリが足りません";
    case Failure::CannotOpen: return "ファイルが開けません";
    case Failure::CannotRead: return "読み取りエラー";
    case Failure::CannotCreate: return "ファイルが作成できません";
    case Failure::CannotWrite: return "書き込みエラー";
    case Failure::None:
    case Failure::Stopped:
    case Failure::WrongType:
    case Failure::NotCp932: break;
    }
    return nullptr;
}

}  // namespace

void ShowNotice(HWND owner, setup::Notice notice, const Result& detail)
{
    // In the order of setup::Notice.
    static constexpr struct {
        const char* text;
        UINT style;
    } kNotices[] = {
        {"フォルダが作成できません", MB_OK | MB_ICONERROR},  // titled with the folder
        {"中止しました", MB_OK | MB_ICONERROR},
        {"ショートカットの作成に失敗しました", MB_OK | MB_ICONERROR},
        {nullptr, 0},  // the error box
        {"インストールしました", MB_OK | MB_ICONINFORMATION},
        {"アンインストールしました", MB_OK | MB_ICONINFORMATION},
        {"一部のファイルを削除できませんでした", MB_OK | MB_ICONWARNING},
        {"削除しました", MB_OK | MB_ICONINFORMATION},
    };
    // The record's failure goes to the error box, as a value that cannot be read at start-up does.
    if (notice == setup::Notice::RecordUnreadable)
        return toolkit::ReportUncaught(toolkit::Error(RecordFailureText(detail)));
    const auto& shown = kNotices[static_cast<int>(notice)];
    const bool titledWithFolder = notice == setup::Notice::FolderCannotBeMade;
    ShowMessageBox(owner, shown.text, titledWithFolder ? std::string_view(detail.path) : kMessageTitle, shown.style);
}

bool AskOverwrite(HWND owner)
{
    return ShowMessageBox(owner, "すでにフォルダが存在します\n上書きしますか？", kMessageTitle,
                          MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool AskStopCopy(HWND owner)
{
    return ShowMessageBox(owner, "本当に中止してもよろしいですか？", "Setp.exe",
                          MB_YESNO | MB_ICONERROR | MB_DEFBUTTON2) == IDYES;
}

void ShowCopyFailure(HWND owner, const Result& failure)
{
    // A failure names its file in the title; only the stop asked for says nothing.
    const char* text = CopyFailureText(failure.failure);
    if (!text) return;
    const bool named = failure.failure != Failure::NoMemory;
    ShowMessageBox(owner, text, named ? std::string_view(failure.path) : kMessageTitle, MB_OK | MB_ICONERROR);
}

std::string RecordFailureText(const Result& failure)
{
    const char* format = "'%s' を読み取れません";
    if (failure.failure == Failure::WrongType) format = "'%s' のデータ型が不正です";
    if (failure.failure == Failure::NotCp932) format = "'%s' に Shift-JIS で表せない文字があります";
    if (failure.failure == Failure::CannotWrite) format = "'%s' の書き込みに失敗しました";
    return toolkit::Format(format, failure.path);
}

}  // namespace forms
