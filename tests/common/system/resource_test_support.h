#pragma once

// What the resource and error tests share: raw-packed texts (no packing
// tool needed), wide forms of the catalogue's UTF-8 texts, and look-ups.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/system/code_page_conversion.h"
#include "common/system/resource_block.h"
#include "resources/resource_catalog.h"

namespace vxtest {

// Packs bytes as raw runs: a pair whose digits switch to set 3 (7) and
// escape a run (39), then a count and up to 255 bytes, as often as needed.
inline std::vector<unsigned char> PackRaw(const std::string& bytes)
{
    std::vector<unsigned char> out;
    for (size_t i = 0; i < bytes.size(); i += 255) {
        const size_t n = bytes.size() - i < 255 ? bytes.size() - i : 255;
        const unsigned value = 7 * 1600 + 39 * 40;
        out.push_back(static_cast<unsigned char>(value / 255 + 1));
        out.push_back(static_cast<unsigned char>(value % 255 + 1));
        out.push_back(static_cast<unsigned char>(n));
        out.insert(out.end(), bytes.begin() + static_cast<long>(i), bytes.begin() + static_cast<long>(i + n));
    }
    return out;
}

inline std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty())
        return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

inline std::string Utf16le(const std::wstring& text)
{
    std::string out;
    for (const wchar_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return out;
}

inline const _stResourceCatalog32* FindCatalog(uint32_t id)
{
    for (size_t i = 0; i < gnNbResourceCatalog32; ++i)
        if (gstResourceCatalog32[i].dwId == id)
            return &gstResourceCatalog32[i];
    return nullptr;
}

// The catalogue's text of id, wide; empty when there is none.
inline std::wstring CatalogText(uint32_t id)
{
    const _stResourceCatalog32* entry = FindCatalog(id);
    return entry != nullptr ? Wide(entry->pszText) : std::wstring();
}

// A record for packed bytes that the test keeps alive.
inline STRessourceModule RecordOf(const std::vector<unsigned char>& packed, uint32_t encoding = RES_ENCODING_UTF8,
                                  uint32_t id = 0)
{
    return {id, 0, packed.data(), static_cast<uint32_t>(packed.size()), encoding, 0};
}

}  // namespace vxtest
