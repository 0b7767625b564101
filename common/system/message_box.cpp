#include "common/system/message_box.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "common/system/disk_file.h"
#include "common/system/module_file_name.h"
#include "common/text/utf8_convert.h"
#include "common/text/utf8_scan.h"

namespace {

constexpr const char* kLibrary = "vx200obj.so";
constexpr const char* kEntry = "MessageBox_QT_W";
// Limits of the two directories looked in.
constexpr unsigned int kMaxPath = 260;

std::string Utf8(const wchar_t* pszText)
{
    if (pszText == nullptr)
        return std::string();
    std::string s(UTF8ByteLen(pszText), '\0');
    WideToUTF8(s.data(), pszText);
    return s;
}

const char* Prompt(unsigned int nType)
{
    switch (nType)
    {
    case MB_OK:
        return "Appuyez sur ENTREE pour continuer : \n";
    case MB_OKCANCEL:
        return "Entrez votre choix (o = OK, c = CANCEL) pour continuer (exemple : o + ENTREE) : \n";
    case MB_YESNOCANCEL:
        return "Entrez votre choix (y = YES, n = NO, c = CANCEL) pour continuer (exemple : y + ENTREE) : \n";
    case MB_YESNO:
        return "Entrez votre choix (y = YES, n = NO) pour continuer (exemple : y + ENTREE) : \n";
    case MB_RETRYCANCEL:
        return "Entrez votre choix (r = RETRY, c = CANCEL) pour continuer (exemple : r + ENTREE) : \n";
    default:
        return "Entrez votre choix (r = RETRY, a = ABORT, i = IGNORE) pour continuer (exemple : r + ENTREE) : \n";
    }
}

// The executable's directory, slashes only, ending with '/'; empty when the
// executable's path is unknown.
std::string ExecutableDirectory()
{
    wchar_t szPath[kMaxPath + 1];
    if (!GetModuleFileNameW(nullptr, szPath, kMaxPath + 1))
        return std::string();
    CDiskFile::pszBackSlash2Slash(szPath);
    wchar_t* pszSlash = std::wcsrchr(szPath, L'/');
    if (pszSlash == nullptr)
        return std::string();
    pszSlash[1] = L'\0';
    return Utf8(szPath);
}

std::string WorkingDirectory()
{
    char sz[kMaxPath + 1];
    if (getcwd(sz, sizeof sz) == nullptr)
        return std::string();
    std::string s(sz);
    if (s.empty() || s.back() != '/')
        s += '/';
    return s;
}

// The graphical library if this process has it loaded already.
void* LoadedLibrary()
{
    for (const std::string& sDirectory : {ExecutableDirectory(), WorkingDirectory()})
    {
        if (sDirectory.empty())
            continue;
        if (void* h = dlopen((sDirectory + kLibrary).c_str(), RTLD_NOW | RTLD_NOLOAD))
            return h;
    }
    return nullptr;
}

}  // namespace

int _MessageBox_NO_GUI(const void* pText, const wchar_t* pszCaption, unsigned int nType, int bWide)
{
    std::fprintf(stderr, "%s\n", Utf8(pszCaption).c_str());
    if (bWide)
        std::fprintf(stderr, "%s\n", Utf8(static_cast<const wchar_t*>(pText)).c_str());
    else
        std::fprintf(stderr, "%s\n", pText != nullptr ? static_cast<const char*>(pText) : "");
    std::fputs(Prompt(nType), stderr);

    // Empty until a word is read: the end of input answers OK.
    wchar_t szAnswer[50] = L"";
    if (std::scanf("%49ls", szAnswer) != 1)
        szAnswer[0] = L'\0';
    switch (szAnswer[0])
    {
    case L'a':
        return IDABORT;
    case L'c':
        return IDCANCEL;
    case L'i':
        return IDIGNORE;
    case L'n':
        return IDNO;
    case L'r':
        std::fputs("Pour recommencer depuis un débogueur, reprenez l'exécution du programme.\n", stderr);
        return IDRETRY;
    case L'y':
        return IDYES;
    default:
        return IDOK;
    }
}

int MessageBoxW(void*, const wchar_t* pszText, const wchar_t* pszCaption, unsigned int nType)
{
    return _MessageBox_NO_GUI(pszText, pszCaption, nType, 1);
}

int MessageBox(void* hWnd, const wchar_t* pszText, const wchar_t* pszCaption, unsigned int nType)
{
    if (void* h = LoadedLibrary())
    {
        auto pf = reinterpret_cast<PFMESSAGEBOX_QT_W>(dlsym(h, kEntry));
        const int nResult = pf != nullptr ? pf(hWnd, pszText, pszCaption, nType) : -1;
        dlclose(h);
        if (nResult != -1)
            return nResult;
    }
    return _MessageBox_NO_GUI(pszText, pszCaption, nType, 1);
}
