// Forced ahead of every C++ source: libstdc++'s templates (std::string above all) are instantiated
// in our own objects, member by member as used, instead of pulling the library's complete explicit
// instantiations into the program.
#pragma once
#ifdef __cplusplus
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE 0
#endif
