#pragma once

#include <iterator>

#include "app/MainForm.h"
#include "forms/LayoutNames.h"
#include "toolkit/Layout.h"

namespace forms {

using Row = toolkit::ControlLayout;

inline constexpr Row kMainControls[] = {
    {Kind::Button, "BtExec", "ゲームの起動", 8, 8, 256, 25, 0, 0, kNoParent, BindView<&TMainForm::BtExec>,
     Call<&TMainForm::BtExecClick>},
    {Kind::Button, "BtInstall", "インストール", 8, 56, 256, 25, 1, 0, kNoParent, BindView<&TMainForm::BtInstall>,
     Call<&TMainForm::BtInstallClick>},
    {Kind::Button, "BtDelStart", "スタートメニュー削除", 8, 56, 256, 25, 2, 0, kNoParent,
     BindView<&TMainForm::BtDelStart>, Call<&TMainForm::BtDelStartClick>},
    {Kind::Button, "BtUninstall", "アンインストール", 8, 88, 256, 25, 3, 0, kNoParent,
     BindView<&TMainForm::BtUninstall>, Call<&TMainForm::BtUninstallClick>},
    {Kind::Button, "BtDxsetup", "DirectX9.0bのインストール", 8, 136, 256, 25, 4, 0, kNoParent,
     BindView<&TMainForm::BtDxsetup>, Call<&TMainForm::BtDxsetupClick>},
    {Kind::Button, "BtExit", "終了", 8, 184, 256, 25, 5, 0, kNoParent, BindView<&TMainForm::BtExit>,
     Call<&TMainForm::BtExitClick>},
};

inline constexpr toolkit::FormLayout kMainLayout = {
    "TMainForm", "インストーラ", 196, 143, 272, 216, toolkit::Border::Single, true,
    kMainControls, std::size(kMainControls)};

}  // namespace forms
