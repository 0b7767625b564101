// The ZIP reader over arbitrary bytes, through a memory stream: open the
// archive, then read every entry to its end and close it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "installer/memory_stream.h"
#include "installer/win_zip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0xFFFFFFFFu)
        return 0;
    std::vector<unsigned char> copy(data, data + size);
    CMemoryStream stream;
    stream.bAssociate(copy.data(), static_cast<unsigned>(size));
    stream.bOpen(L"ZIP", IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                 IXStream::XFLAG_NONE, nullptr);
    CWinZip zip;
    zip.SetStream(&stream);
    zip.bSetPassword(L"pw");
    if (zip.OuvreZip(L"fuzz.zip") != VXZIP_OK)
        return 0;
    static unsigned char buffer[32768];
    for (int rc = zip.FirstFile(); rc == VXZIP_OK; rc = zip.NextFile()) {
        const _stFICZIP* entry = zip.pstGetCurrentFile();
        if (zip.OpenCurrentFileInZip() == VXZIP_OK) {
            // Inflation is bounded by the input (about 1032 to 1); the cap
            // only keeps one run short.
            uint64_t total = 0;
            unsigned long n = 0;
            while (total < (64u << 20) && zip.bReadCurrentFileInZip(buffer, sizeof buffer, &n) && n > 0)
                total += n;
            zip.CloseCurrentFileInZip();
        }
        // LocateFile moves the current entry (to the first of a name shared
        // ignoring case); the walk goes on from where it was.
        const uint64_t current = zip.nGetCurrentFile();
        zip.LocateFile(entry->pszName, 0);
        zip.CurrentFile_szName();
        zip.GoToFile(current);
    }
    return 0;
}
