#pragma once
// The names every layout table is written with.

#include "toolkit/Layout.h"

namespace forms {

using toolkit::BindView;
using toolkit::Call;
using toolkit::Kind;
using toolkit::kNoParent;
using toolkit::kNoTabOrder;
namespace flag = toolkit::flag;

}  // namespace forms
