// Arbitrary message files through the typed header and the message-file
// reader. When the first byte is odd the file is a valid typed header
// followed by the rest of the input (so that the index and the records are
// reached at once); otherwise the input is the whole file. A few ids taken
// from the input, and the ids 0 to 3, are loaded as CTString and into a
// small and a large buffer.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "common/system/vx_mfile.h"
#include "common/text/ct_string.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

const std::string& FilePath()
{
    static const std::string s = "/tmp/vx_fuzz_mfile_" + std::to_string(getpid());
    return s;
}

std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

void Load(CVXMFile& file, uint32_t dwId)
{
    CTString text;
    const bool bFound = file.bLoadString(dwId, text);
    wchar_t szSmall[3];
    wchar_t szLarge[64];
    const unsigned nSmall = file.nLoadString(dwId, szSmall, 3);
    const unsigned nLarge = file.nLoadString(dwId, szLarge, 64);
    Check(nSmall == nLarge);
    if (!bFound) Check(nSmall == 0);
    if (bFound || nSmall > 0) {
        Check(std::wcslen(szSmall) <= 2);
        Check(std::wcslen(szLarge) <= 63);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nData)
{
    FILE* f = std::fopen(FilePath().c_str(), "wb");
    if (f == nullptr) return 0;
    const uint8_t* pFile = pData;
    size_t nFile = nData;
    if (nData > 0 && (pData[0] & 1) != 0) {
        // 'T', 'V', 'K', 0; size 20; type 7; then zeros but the generation.
        static const uint8_t kHeader[20] = {'T', 'V', 'K', 0, 20, 0, 0, 0, 7, 0, 0, 0, 0, 0, 20, 0, 0, 0, 0, 0};
        std::fwrite(kHeader, 1, sizeof kHeader, f);
        ++pFile;
        --nFile;
    }
    const bool bWritten = nFile == 0 || std::fwrite(pFile, 1, nFile, f) == nFile;
    std::fclose(f);
    if (!bWritten) return 0;

    CVXMFile file;
    if (file.bOpen(Wide(FilePath()).c_str(), CVXFile::XFORMAT_DEFAULT, IXStream::XACCESS_READ,
                   IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING, IXStream::XFLAG_NONE)) {
        Check(file.oGetOffset() >= 20);
        // Ids from the input's last bytes, and the neighbours of small ids.
        for (size_t i = 0; i + 4 <= nData && i < 16; i += 4) {
            uint32_t dwId;
            std::memcpy(&dwId, pData + nData - 4 - i, 4);
            Load(file, dwId);
        }
        for (uint32_t dwId = 0; dwId < 4; ++dwId) Load(file, dwId);
        file.Close();
        CVXMFile again;
        again.bVerifieFormat(Wide(FilePath()).c_str());
    }
    std::remove(FilePath().c_str());
    return 0;
}
