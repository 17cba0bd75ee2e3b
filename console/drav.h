#pragma once
// drav: molda's dialogue with the autoregression fitted by the multivariate Burg recursion in
// single precision.

// The program's dialogue; ends through its Exit items (or ESC on the start screen) with the
// program stop.
[[noreturn]] void DravMain();
