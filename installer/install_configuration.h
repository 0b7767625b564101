#pragma once

#include <string>

// Reads "BINPATH" of section "DEFAULT" from the runtime's configuration file.
// Whoever can change that file or a directory on its way chooses where root
// installs, so the file is reached from "/" without following a link and
// must be a regular file of a trusted owner that no one else can write to, in
// directories of the same kind (install_trusted_path.h); it is read through
// the descriptor that was checked. A FIFO or device in its place is refused
// without blocking.
//
// 1 with the value (empty when the file or the key is missing); 0 after
// reporting a refusal.
int bLitBinPath(const wchar_t* pszConfiguration, std::wstring& sValeur);
