#include "util/Person.h"

#include "util/Cp932.h"

namespace {
ScriptedPerson* g_person = nullptr;
}

void SetScriptedPerson(ScriptedPerson* person) noexcept { g_person = person; }
ScriptedPerson* GetScriptedPerson() noexcept { return g_person; }

int ShowMessageBox(HWND owner, const std::string& text, const std::string& title, UINT style)
{
    if (g_person) return g_person->AnswerMessageBox(owner, text, title, style);
    const std::wstring wideText = cp932::ToWideLossy(text);
    const std::wstring wideTitle = cp932::ToWideLossy(title);
    return ::MessageBoxW(owner, wideText.c_str(), wideTitle.c_str(), style);
}
