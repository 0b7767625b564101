#include "installer/install_entry_name.h"

#include <cwchar>
#include <vector>

#include "common/system/file_name_text.h"

bool bDecoupeNomEntree(const wchar_t* pszName, std::vector<std::string>& aComposants)
{
    aComposants.clear();
    if (pszName == nullptr || pszName[0] == L'\0')
        return false;
    const size_t nLen = wcslen(pszName);
    // A drive prefix such as "c:" names another root.
    if (nLen >= 2 && pszName[1] == L':')
        return false;
    std::wstring sComposant;
    for (size_t i = 0; i <= nLen; ++i) {
        const wchar_t c = pszName[i];
        if (c == L'\0' || c == L'/' || c == L'\\') {
            // Also refuses a leading separator and a final one (empty last
            // component): only files are installed.
            if (sComposant.empty() || sComposant == L"." || sComposant == L"..")
                return false;
            CUTF8Name utf8(sComposant.c_str());
            if (!utf8.bOk())
                return false;
            aComposants.emplace_back(utf8.psz());
            sComposant.clear();
            continue;
        }
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            return false;
        sComposant += c;
    }
    return true;
}

std::wstring sNomLarge(const std::string& sUtf8)
{
    std::vector<wchar_t> buffer(sUtf8.size() + 1);
    if (!bUTF8NameToWide(sUtf8.c_str(), buffer.data(), buffer.size()))
        return L"?";
    return buffer.data();
}
