#include "common/text/string_parameter.h"

#include <cwchar>

namespace {

bool bHasSeparator(const wchar_t* psz)
{
    return psz && std::wcschr(psz, L';') != nullptr;
}

}  // namespace

bool CStringParameter::_s_bGetParameterPos(long& nKey, long& nStart, long& nEnd, CTString* pList,
                                           const wchar_t* pszKey)
{
    nKey = 0;
    nStart = nEnd = -1;
    if (!pList || pList->nTaille() == 0 || !pszKey || !*pszKey)
        return false;
    // Upper case maps one character to one, so indexes of the copies are
    // those of the list.
    CTString list(*pList);
    list.Majuscule();
    CTString key(pszKey);
    key.Majuscule();
    const long nKeyLen = key.nTaille();
    const wchar_t* text = list.pszGet();
    for (long from = 0;; from = nKey + 1) {
        nKey = list.nPos(key.pszGet(), from);
        if (nKey < 0)
            break;
        long at = nKey + nKeyLen;
        while (text[at] == L' ') ++at;
        if (text[at] != L'=')
            continue;
        ++at;
        while (text[at] == L' ') ++at;
        nStart = at;
        const long semicolon = list.nPos(L';', nStart);
        nEnd = (semicolon >= 0 ? semicolon : list.nTaille()) - 1;
        return true;
    }
    nKey = 0;
    nStart = nEnd = -1;
    return false;
}

int CStringParameter::s_bGetParameterValue(CTString* pValue, int* pbFound, CTString* pList, const wchar_t* pszKey,
                                           int bRemove)
{
    long nKey, nStart, nEnd;
    const bool bFound = _s_bGetParameterPos(nKey, nStart, nEnd, pList, pszKey);
    if (pbFound)
        *pbFound = bFound ? 1 : 0;
    if (!bFound) {
        if (pValue)
            pValue->Vide();
        return 1;
    }
    if (pValue) {
        pValue->Set(pList->pszGet() + nStart, static_cast<unsigned long>(nEnd - nStart + 1));
        pValue->SansEspace();
    }
    if (bRemove) {
        const wchar_t* text = pList->pszGet();
        const long len = pList->nTaille();
        long start = nKey;
        while (start > 0 && text[start - 1] == L' ') --start;
        long end = nEnd + 1;
        while (end < len && (text[end] == L';' || text[end] == L' ')) ++end;
        pList->Coupe(start, end - start);
        text = pList->pszGet();
        long lead = 0;
        while (text[lead] == L';' || text[lead] == L' ') ++lead;
        if (lead)
            pList->TronqueDebut(lead);
    }
    return 1;
}

int CStringParameter::s_bParameterDefined(CTString* pList, const wchar_t* pszKey)
{
    long nKey, nStart, nEnd;
    return _s_bGetParameterPos(nKey, nStart, nEnd, pList, pszKey) ? 1 : 0;
}

int CStringParameter::s_bReplaceParameterValue(CTString* pList, const wchar_t* pszValue, const wchar_t* pszKey)
{
    if (!pList || bHasSeparator(pszValue))
        return 0;
    const wchar_t* value = pszValue ? pszValue : L"";
    long nKey, nStart, nEnd;
    if (_s_bGetParameterPos(nKey, nStart, nEnd, pList, pszKey)) {
        pList->Remplace(nStart, nEnd - nStart + 1, value);
        return 1;
    }
    if (pList->nTaille() > 0)
        pList->Add(L';');
    pList->Add(pszKey, L"=", value);
    return 1;
}

CStringParameter::CStringParameter(const wchar_t* pszName) : m_pszNom(pszName), m_bDefini(0) {}

void CStringParameter::SetParameterValue(const wchar_t* pszValue, long nLen, const wchar_t*, int)
{
    if (!pszValue) {
        m_clValeur.Vide();
        m_bDefini = 0;
        return;
    }
    if (nLen < 0)
        m_clValeur.Set(pszValue);
    else
        m_clValeur.Set(pszValue, static_cast<unsigned long>(nLen));
    m_clValeur.SansEspace();
    m_bDefini = 1;
}

void CStringParameter::SetParameterValueRep(const wchar_t* pszValue, long nLen)
{
    SetParameterValue(pszValue, nLen);
    if (m_clValeur.nTaille() > 0 && !m_clValeur.bTerminePar(L'\\'))
        m_clValeur.Add(L'\\');
}

int CStringParameter::bInitParameterValue(CTString* pList, int bRemove, const wchar_t*, int)
{
    return s_bGetParameterValue(&m_clValeur, &m_bDefini, pList, m_pszNom, bRemove);
}

int CStringParameter::bCompleteConnectionString(CTString* pList, const wchar_t*, int) const
{
    if (!m_bDefini || !pList)
        return 1;
    if (bHasSeparator(m_clValeur.pszGet()))
        return 0;
    if (pList->nTaille() > 0)
        pList->Add(L';');
    pList->Add(m_pszNom, L"=", m_clValeur.pszGet());
    return 1;
}
