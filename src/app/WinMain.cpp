#include <windows.h>

#include <new>

#include "app/HandOver.h"
#include "app/MainForm.h"
#include "forms/CopyForm.h"
#include "forms/InstallForm.h"
#include "forms/UninstForm.h"
#include "toolkit/Application.h"
#include "toolkit/Error.h"
#include "util/Mutex.h"
#include "util/ProgramPath.h"
#include "util/SystemLibrary.h"

// The program takes no arguments and reads no environment: every parameter is ignored.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    RestrictDllSearch();
    // Started from Windows' list of installed programs, the uninstaller runs the uninstall from a
    // copy of itself, so that its own folder can go; it does not take the guard.
    try {
        if (HandOver(ProgramPath())) return 0;
    } catch (const std::bad_alloc&) {  // no hand-over: the program runs where it is
    }
    // Declared first so that the windows are destroyed after the mutex is closed.
    toolkit::Application application(instance);
    CMutex mutex;
    if (!mutex.TryCreate("XXX_MUTEX_OBJECT")) return 1;
    try {
        application.Initialize();
        application.CreateForm(MainForm);
        application.CreateForm(InstallForm);
        application.CreateForm(UninstForm);
        application.CreateForm(CopyForm);
        MainForm->UseDialogs(*InstallForm, *UninstForm, *CopyForm);
        application.Run();
    } catch (const std::exception& error) {
        application.ShowException(error);
    }
    mutex.Close();
    return 0;
}
