#pragma once

// The installer's only output: wide text written to the standard error
// stream as data (never as a format). Everything goes out wide, because the
// stream turns wide-oriented at the first wide write.
void EcritErreurStd(const wchar_t* pszText);
