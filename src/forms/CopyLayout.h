#pragma once

#include <iterator>

#include "forms/CopyForm.h"
#include "forms/LayoutNames.h"
#include "toolkit/Layout.h"

namespace forms {

namespace copy {
using Row = toolkit::ControlLayout;
using F = TCopyForm;

inline constexpr Row kControls[] = {
    {Kind::Label, "LbCopy", "コピーしています", 8, 8, 256, 12, kNoTabOrder, 0, kNoParent, BindView<&F::LbCopy>,
     nullptr},
    {Kind::ProgressBar, "PbCopy", "", 8, 24, 256, 17, 0, 0, kNoParent, BindView<&F::PbCopy>, nullptr},
    {Kind::Label, "LbTotal", "全体の進行度", 8, 48, 256, 12, kNoTabOrder, 0, kNoParent, BindView<&F::LbTotal>,
     nullptr},
    {Kind::ProgressBar, "PbTotal", "", 8, 64, 256, 17, 1, 0, kNoParent, BindView<&F::PbTotal>, nullptr},
    {Kind::Panel, "Panel", "", 8, 88, 160, 120, 2, 0, kNoParent, BindView<&F::Panel>, nullptr},
    // Inside Panel: fills it but for its one-pixel edge.
    {Kind::Picture, "Image", "", 1, 1, 158, 118, kNoTabOrder, flag::kHidden, 4, BindView<&F::Image>, nullptr},
    {Kind::MediaPlayer, "MediaPlayer", "", 176, 88, 253, 30, 3, flag::kHidden, kNoParent,
     BindView<&F::MediaPlayer>, Call<&F::MediaPlayerNotify>},
    {Kind::Button, "BtCancel", "キャンセル", 176, 184, 89, 25, 4, 0, kNoParent, BindView<&F::BtCancel>,
     Call<&F::BtCancelClick>},
};
}  // namespace copy

inline constexpr toolkit::FormLayout kCopyLayout = {
    "TCopyForm", "インストールの経過", 0, 0, 272, 216, toolkit::Border::Dialog, false,
    copy::kControls, std::size(copy::kControls)};

}  // namespace forms
