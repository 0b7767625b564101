#include "tests/host/db/standin_query_parameters.h"

#include <cwctype>

namespace {

bool bSameName(const std::wstring& a, const wchar_t* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i] != 0; ++i)
        if (std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i])))
            return false;
    return i == a.size() && b[i] == 0;
}

}  // namespace

void StandinQueryParameters::Set(const wchar_t* pszName, const CAny& value, int nKind)
{
    for (Parameter& p : m_parameters) {
        if (bSameName(p.name, pszName)) {
            *p.value = value;
            p.nKind = nKind;
            return;
        }
    }
    m_parameters.push_back(Parameter{pszName, std::make_unique<CAny>(value), nKind});
}

const StandinQueryParameters::Parameter* StandinQueryParameters::_pFind(const wchar_t* pszName) const
{
    if (pszName == nullptr)
        return nullptr;
    for (const Parameter& p : m_parameters)
        if (bSameName(p.name, pszName))
            return &p;
    return nullptr;
}

const CAny* StandinQueryParameters::pclGetValue(const wchar_t* pszName, int) const
{
    m_valueLookups.emplace_back(pszName != nullptr ? pszName : L"");
    const Parameter* p = _pFind(pszName);
    return p != nullptr ? p->value.get() : nullptr;
}

int StandinQueryParameters::nGetParameterKind(const wchar_t* pszName) const
{
    m_kindLookups.emplace_back(pszName != nullptr ? pszName : L"");
    const Parameter* p = _pFind(pszName);
    return p != nullptr ? p->nKind : PARAM_UNKNOWN;
}
