#pragma once

// The installer's version-information block, carried in its own file between
// the version markers (read back with CFileVersion). Calling this from main
// keeps the block's object in the link.
void KeepVersionBlock();
