#pragma once

// Module version texts compared with their numbers by value ("20.0.9.0" <
// "20.0.10.0") and the rest lexically through the host's locale. Negative,
// 0 or positive; a null text reads as empty.
int nCompareVersionModuleA(const char* a, const char* b);
int nCompareVersionModule(const wchar_t* a, const wchar_t* b);
