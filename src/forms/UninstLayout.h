#pragma once

#include <iterator>

#include "forms/LayoutNames.h"
#include "forms/UninstForm.h"
#include "toolkit/Layout.h"

namespace forms {

namespace uninst {
using Row = toolkit::ControlLayout;
using F = TUninstForm;

inline constexpr Row kControls[] = {
    {Kind::CheckBox, "CbStart", "スタートメニューを削除", 8, 16, 257, 17, 0, flag::kChecked, kNoParent,
     BindView<&F::CbStart>, nullptr},
    {Kind::CheckBox, "CbGame", "ゲーム本体を削除", 7, 40, 257, 17, 1, flag::kChecked | flag::kDisabled, kNoParent,
     BindView<&F::CbGame>, nullptr},
    {Kind::CheckBox, "CbSave", "セーブデータを削除", 7, 64, 257, 17, 2, flag::kChecked, kNoParent,
     BindView<&F::CbSave>, nullptr},
    {Kind::Label, "LbCaution", "※すべてにチェックが付いているとフォルダ全体を", 8, 96, 250, 12, kNoTabOrder, 0,
     kNoParent, BindView<&F::LbCaution>, nullptr},
    {Kind::Label, "LbCaution2", "削除します", 24, 112, 56, 12, kNoTabOrder, 0, kNoParent, BindView<&F::LbCaution2>,
     nullptr},
    {Kind::Button, "BtUninst", "アンインストールの開始", 8, 136, 256, 25, 3, flag::kDefault, kNoParent,
     BindView<&F::BtUninst>, Call<&F::BtUninstClick>},
    {Kind::Button, "BtCancel", "キャンセル", 8, 184, 256, 25, 4, 0, kNoParent, BindView<&F::BtCancel>,
     Call<&F::BtCancelClick>},
};
}  // namespace uninst

inline constexpr toolkit::FormLayout kUninstLayout = {
    "TUninstForm", "アンインストールオプション", 256, 144, 272, 216, toolkit::Border::Dialog, false,
    uninst::kControls, std::size(uninst::kControls)};

}  // namespace forms
