#include "toolkit/Error.h"

namespace toolkit {

void ReportUncaughtUnknown() noexcept { ReportUncaught(Error("予期しないエラーが発生しました")); }

void Throw(const char* message) { throw Error(message); }

}  // namespace toolkit
