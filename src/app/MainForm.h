#pragma once
// The main menu: start the installed game, install, remove the Start-menu entries, uninstall, run
// the DirectX setup from the disc, quit.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "setup/FolderName.h"
#include "setup/Install.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/TextList.h"

class TInstallForm;
class TUninstForm;
class TCopyForm;

class TMainForm : public toolkit::Form, private setup::InstallSteps, private setup::UninstallSteps {
public:
    TMainForm();

    toolkit::Button BtInstall;
    toolkit::Button BtExec;
    toolkit::Button BtUninstall;
    toolkit::Button BtExit;
    toolkit::Button BtDxsetup;
    toolkit::Button BtDelStart;

    // From the setup configuration file, read once when the window is created.
    std::string GameName;
    // The installed folder with its trailing backslash; empty while the game is not installed.
    std::string InstalledDir;
    // Checked where they are read; no InstallDir means no usable configuration, no ShortCut none.
    std::optional<setup::FolderName> InstallDir;
    std::optional<setup::FolderName> ShortCut;
    std::string ShortCut_GDI;
    std::string Movie;
    std::string WallPaper;
    int32_t FileCount = 0;
    std::unique_ptr<toolkit::TextList> FileList;
    // The first FileCount entries of the file list, in order: what every reading of the list takes.
    [[nodiscard]] std::vector<std::string> Entries() const;

    // The dialogs it shows, made with it.
    void UseDialogs(TInstallForm& install, TUninstForm& uninstall, TCopyForm& copy) noexcept;

    void FormCreate() override;
    void FormShow() override;
    void FormDestroy() override;

    void BtExecClick();
    void BtInstallClick();
    void BtDelStartClick();
    void BtUninstallClick();
    void BtDxsetupClick();
    void BtExitClick();

private:
    [[nodiscard]] setup::Game Game() const;
    bool ChooseDestination(setup::Destination& chosen) override;
    bool ConfirmOverwrite(const std::string& folder) override;
    setup::CopyResult RunCopy(const setup::CopyTask& task) override;
    std::optional<setup::Choices> ChooseWhatToRemove() override;
    void Tell(setup::Notice notice, const Result& detail) override;

    void ReadSetupConfiguration();
    TInstallForm* installForm_ = nullptr;
    TUninstForm* uninstForm_ = nullptr;
    TCopyForm* copyForm_ = nullptr;
    void ReadInstallRecord();
    void DecideMode();
};

extern TMainForm* MainForm;
