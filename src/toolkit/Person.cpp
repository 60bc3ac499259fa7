#include "toolkit/Person.h"

#include "util/Cp932.h"

namespace {
ScriptedPerson* g_person = nullptr;
}

void SetScriptedPerson(ScriptedPerson* person) noexcept { g_person = person; }
ScriptedPerson* GetScriptedPerson() noexcept { return g_person; }

int ShowMessageBox(HWND owner, std::string_view text, std::string_view title, UINT style)
{
    const std::string textBytes(text);
    const std::string titleBytes(title);
    if (g_person) return g_person->AnswerMessageBox(owner, textBytes, titleBytes, style);
    const std::wstring wideText = cp932::ToWideLossy(textBytes);
    const std::wstring wideTitle = cp932::ToWideLossy(titleBytes);
    return ::MessageBoxW(owner, wideText.c_str(), wideTitle.c_str(), style);
}
