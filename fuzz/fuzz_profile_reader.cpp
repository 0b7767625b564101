// Arbitrary profile files through the reader, in both encodings and from
// both caller widths, and through the writer. The first byte chooses the
// buffer size (bits 0-5), whether the writer runs (bit 6) and whether the
// buffer is missing (bit 7); the second chooses the section (bits 0-2) and
// the key (bits 3-5); the rest is the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "common/system/profile_access.h"
#include "common/system/profile_writer.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

const char* const kSections[] = {nullptr, "", "s", "S", "DEFAULT", "a b", ":x", "[s]"};
const wchar_t* const kSectionsW[] = {nullptr, L"", L"s", L"S", L"DEFAULT", L"a b", L":x", L"[s]"};
const char* const kKeys[] = {nullptr, "", "k", "K", "key", ":k", "k=", "BINPATH"};
const wchar_t* const kKeysW[] = {nullptr, L"", L"k", L"K", L"key", L":k", L"k=", L"BINPATH"};

template <class T, class S>
void FuzzRead(const uint8_t* pFile, size_t nFile, const S* pszSection, const S* pszKey, size_t nSize, bool bNoBuffer)
{
    FILE* f = fmemopen(const_cast<uint8_t*>(pFile), nFile, "r");
    if (f == nullptr) return;
    // Exactly the size: any write beyond it is caught.
    T* pBuffer = bNoBuffer ? nullptr : static_cast<T*>(std::malloc(nSize * sizeof(T) + 1));
    bool bFound = false;
    const long nResult = nReadProfileStream(f, pszSection, pszKey, pBuffer, nSize, &bFound);
    std::fclose(f);
    Check(nResult >= 0);
    if (pBuffer != nullptr && nSize > 0) {
        Check(static_cast<size_t>(nResult) < nSize);
        size_t n = 0;
        while (n < nSize && pBuffer[n] != 0) ++n;
        Check(n == static_cast<size_t>(nResult));
    }
    if (pszKey != nullptr && pszKey[0] != 0 && pszSection != nullptr && pszSection[0] != 0) {
        if (!bFound) Check(nResult == 0);
    } else {
        Check(!bFound);
    }
    std::free(pBuffer);
}

std::string Contents(FILE* f)
{
    std::string s;
    std::rewind(f);
    char a[4096];
    size_t n;
    while ((n = std::fread(a, 1, sizeof a, f)) > 0) s.append(a, n);
    return s;
}

// Setting a key twice in a row leaves the file as the first time did.
void FuzzWrite(const uint8_t* pFile, size_t nFile, const char* pszSection, const char* pszKey)
{
    FILE* f = std::tmpfile();
    if (f == nullptr) return;
    if (nFile == 0 || std::fwrite(pFile, 1, nFile, f) == nFile) {
        std::string sFirst;
        for (int i = 0; i < 2; ++i) {
            std::rewind(f);
            const bool bUnicode = nFile >= 2 && pFile[0] == 0xFF && pFile[1] == 0xFE;
            if (bUnicode) std::fseek(f, 2, SEEK_SET);
            const bool bOk = bUnicode ? __WritePrivateProfileString(f, L"s", pszKey ? L"k" : nullptr, L"v")
                                      : __WritePrivateProfileString(f, pszSection, pszKey, "v");
            if (i == 0) {
                sFirst = Contents(f);
            } else if (!bUnicode && bOk && pszKey != nullptr && pszSection != nullptr && pszSection[0] != 0 &&
                       pszKey[0] != 0) {
                Check(Contents(f) == sFirst);
            }
        }
    }
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nData)
{
    if (nData < 2) return 0;
    const size_t nSize = pData[0] & 0x3F;
    const bool bWrite = (pData[0] & 0x40) != 0;
    const bool bNoBuffer = (pData[0] & 0x80) != 0;
    const int nSection = pData[1] & 7;
    const int nKey = (pData[1] >> 3) & 7;
    const uint8_t* pFile = pData + 2;
    const size_t nFile = nData - 2;

    FuzzRead<char>(pFile, nFile, kSections[nSection], kKeys[nKey], nSize, bNoBuffer);
    FuzzRead<wchar_t>(pFile, nFile, kSectionsW[nSection], kKeysW[nKey], nSize, bNoBuffer);
    if (bWrite) FuzzWrite(pFile, nFile, kSections[nSection], kKeys[nKey]);
    return 0;
}
