#include "common/text/zl_memo_image.h"

#include "common/text/image_zl.h"
#include "common/text/str_create.h"

namespace {

// Copies first, then frees: the text given may be the one held.
void Redefinit(wchar_t*& pszNom, const wchar_t* psz)
{
    wchar_t* pszCopie = psz != nullptr ? STR_pszCreate(psz) : nullptr;
    STR_Delete(pszNom);
    pszNom = pszCopie;
}

}  // namespace

CZLMemoImage::~CZLMemoImage()
{
    STR_Delete(m_pszNomImage);
    STR_Delete(m_pszNomTable);
    STR_Delete(m_pszNomRubrique);
    STR_Delete(m_pszNomTableNumEnr);
    STR_Delete(m_pszNomRubriqueNumEnr);
    if (m_piImageZL != nullptr)
        m_piImageZL->Release();
}

void CZLMemoImage::SetNomImage(const wchar_t* psz)
{
    Redefinit(m_pszNomImage, psz);
}

void CZLMemoImage::SetNomTable(const wchar_t* psz)
{
    Redefinit(m_pszNomTable, psz);
}

void CZLMemoImage::SetNomRubrique(const wchar_t* psz)
{
    Redefinit(m_pszNomRubrique, psz);
}

void CZLMemoImage::SetNomTableNumEnr(const wchar_t* psz)
{
    Redefinit(m_pszNomTableNumEnr, psz);
}

void CZLMemoImage::SetNomRubriqueNumEnr(const wchar_t* psz)
{
    Redefinit(m_pszNomRubriqueNumEnr, psz);
}

void CZLMemoImage::SetBinData(const CZLBIN& bin)
{
    m_clBinData = bin;
    m_dwFlags |= FLAG_BINDATA;
}

void CZLMemoImage::SetZLImage(IImageZL* pi)
{
    // The new reference is taken before the old one is dropped: releasing
    // the object held could otherwise destroy the one given.
    if (pi != m_piImageZL) {
        if (pi != nullptr)
            pi->AddRef();
        IImageZL* piAncien = m_piImageZL;
        m_piImageZL = pi;
        if (piAncien != nullptr)
            piAncien->Release();
    }
    if (pi != nullptr)
        m_dwFlags |= FLAG_IMAGE;
    else
        m_dwFlags &= ~FLAG_IMAGE;
}

void CZLMemoImage::SetLoadType(int nType)
{
    switch (nType) {
    case 1:
        m_dwFlags |= FLAG_LOADTYPE1;
        break;
    case 0:
    case 2:
        m_dwFlags &= ~FLAG_LOADTYPE1;
        break;
    case 3:
        m_dwFlags = (m_dwFlags & ~FLAG_LOADTYPE1) | FLAG_IMAGE;
        break;
    default:
        break;
    }
}

CZLBIN* CZLMemoImage::pclGetBinDataEx(int nFormat)
{
    if ((m_dwFlags & FLAG_BINDATA) == 0) {
        if (m_pfnSauveZLBin != nullptr)
            m_pfnSauveZLBin(this, nFormat);
        else if (m_piImageZL != nullptr && m_piImageZL->nQuery(nFormat) > 7)
            m_piImageZL->nExport(nFormat, &m_clBinData);
    }
    return &m_clBinData;
}

IImageZL* CZLMemoImage::piGetSourceImage(void* pArg)
{
    return m_pfnGetSourceImage != nullptr ? m_pfnGetSourceImage(this, pArg) : nullptr;
}
