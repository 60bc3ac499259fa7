#pragma once

#include <iterator>

#include "forms/InstallForm.h"
#include "forms/LayoutNames.h"
#include "toolkit/Layout.h"

namespace forms {

namespace install {
using Row = toolkit::ControlLayout;
using F = TInstallForm;

inline constexpr Row kControls[] = {
    {Kind::Label, "LbInstall", "インストール先", 8, 16, 75, 12, kNoTabOrder, 0, kNoParent, BindView<&F::LbInstall>,
     nullptr},
    {Kind::Label, "LbFree", "空き容量：", 88, 16, 177, 12, kNoTabOrder, 0, kNoParent, BindView<&F::LbFree>, nullptr},
    {Kind::Label, "LbSize", "インストール容量", 8, 100, 87, 12, kNoTabOrder, 0, kNoParent, BindView<&F::LbSize>,
     nullptr},
    {Kind::Edit, "EdInstall", "", 8, 32, 256, 20, 0, 0, kNoParent, BindView<&F::EdInstall>, Call<&F::EdInstallChange>},
    {Kind::Button, "BtInstall", "インストールの開始", 8, 120, 256, 25, 5, flag::kDefault, kNoParent,
     BindView<&F::BtInstall>, Call<&F::BtInstallClick>},
    {Kind::Button, "BtBrowse", "インストール先の変更", 8, 152, 256, 25, 6, 0, kNoParent, BindView<&F::BtBrowse>,
     Call<&F::BtBrowseClick>},
    {Kind::Button, "BtCancel", "キャンセル", 8, 184, 256, 25, 7, 0, kNoParent, BindView<&F::BtCancel>,
     Call<&F::BtCancelClick>},
    {Kind::CheckBox, "CbWithSound", "音声・ＢＧＭもインストール", 8, 64, 161, 17, 1, flag::kChecked, kNoParent,
     BindView<&F::CbWithSound>, Call<&F::CbWithSoundClick>},
    {Kind::CheckBox, "CbMovie", "デモを再生する", 168, 64, 257, 17, 4, flag::kGroup, kNoParent,
     BindView<&F::CbMovie>, Call<&F::CbMovieClick>},
    {Kind::RadioButton, "RbVorbis", "圧縮音声", 24, 80, 73, 17, 2,
     flag::kChecked | flag::kHidden | flag::kTabStop | flag::kGroup, kNoParent, BindView<&F::RbVorbis>,
     Call<&F::CbWithSoundClick>},
    {Kind::RadioButton, "RbPcm", "非圧縮音声", 96, 80, 81, 17, 3, flag::kHidden, kNoParent, BindView<&F::RbPcm>,
     Call<&F::CbWithSoundClick>},
};
}  // namespace install

inline constexpr toolkit::FormLayout kInstallLayout = {
    "TInstallForm", "インストール先の指定", 0, 0, 272, 216, toolkit::Border::Dialog, false,
    install::kControls, std::size(install::kControls)};

}  // namespace forms
