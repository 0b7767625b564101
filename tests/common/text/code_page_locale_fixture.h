#pragma once

#include "common/system/information.h"
#include "common/text/info_locale.h"

// A host locale interface that only answers its current code page, published
// for the life of the fixture.
class CodePageLocale final : public IInfoLocale
{
public:
    explicit CodePageLocale(int nCodePage) : m_nCodePage(nCodePage)
    {
        m_piPrevious = CInformationDLL::ms_piInfoLocale;
        CInformationDLL::ms_piInfoLocale = this;
    }
    ~CodePageLocale() { CInformationDLL::ms_piInfoLocale = m_piPrevious; }
    CodePageLocale(const CodePageLocale&) = delete;
    CodePageLocale& operator=(const CodePageLocale&) = delete;

    int nGetCurrentCodePage() override { return m_nCodePage; }

    int _vnReserve0() override { return 0; }
    int _vnReserve1() override { return 0; }
    int nGetCurrentCharset() override { return 0; }
    unsigned nGetCurrentLCID() override { return 0; }
    int nCompareStringLocaleA(unsigned, unsigned, const char*, int, const char*, int) override { return 0; }
    int nCompareStringLocaleW(unsigned, unsigned, const wchar_t*, int, const wchar_t*, int) override { return 0; }
    int nCompareStringA(unsigned, const char*, int, const char*, int) override { return 0; }
    int nCompareStringW(unsigned, const wchar_t*, int, const wchar_t*, int) override { return 0; }
    int nMapSortKeyA(unsigned, char*, int, const char*, int) override { return 0; }
    int _vnReserve10() override { return 0; }
    int nMapStringLocaleA(unsigned, unsigned, char*, int, const char*, int) override { return 0; }
    int nMapStringLocaleW(unsigned, unsigned, wchar_t*, int, const wchar_t*, int) override { return 0; }
    int nMapStringA(unsigned, char*, int, const char*, int) override { return 0; }
    int nMapStringW(unsigned, wchar_t*, int, const wchar_t*, int) override { return 0; }
    unsigned nGetSafeCurrentLCID() override { return 0; }

private:
    int m_nCodePage;
    IInfoLocale* m_piPrevious;
};
