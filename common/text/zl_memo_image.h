#pragma once

#include <cstdint>

#include "common/system/vx_unknown.h"
#include "common/text/zl_bin.h"

class IImageZL;
class CZLMemoImage;

// Host callbacks of an image memo: the save callback fills the memo's binary
// data on demand (usually through SetBinData) for the form nFormat; the
// source-image callback answers the image the memo stands for.
typedef void (*PFN_SAUVEZLBIN)(CZLMemoImage* pMemo, int nFormat);
typedef IImageZL* (*PFN_GETSOURCEIMAGE)(CZLMemoImage* pMemo, void* pArg);

// An image memo value of the host language: the image's binary data or an
// image object, the names that locate it (image, table, item, and the table
// and item that give its record number), the record number and the host's
// callbacks. The driver creates none; the class is for the host's use.
//
// Virtual slots after CVXUnknown's three: the setters from SetNomImage to
// SetCallbackGetSourceImage, in declaration order.
class CZLMemoImage : public CVXUnknown
{
public:
    // Flags.
    static constexpr uint32_t FLAG_BINDATA = 0x0001;    // the binary data was set
    static constexpr uint32_t FLAG_IMAGE = 0x0010;      // an image object is held (or load type 3)
    static constexpr uint32_t FLAG_LOADTYPE1 = 0x8000;  // load type 1

    CZLMemoImage() = default;
    // Frees the names, releases the image object and the binary data.
    ~CZLMemoImage() override;

    // Each name is copied (null stores null); the text given may be the one
    // held.
    virtual void SetNomImage(const wchar_t* psz);
    virtual void SetNomTable(const wchar_t* psz);
    virtual void SetNomRubrique(const wchar_t* psz);
    virtual void SetChamp(void* p) { m_pChamp = p; }
    virtual void SetCallback(void* p) { m_pCallback = p; }
    virtual void SetContexteQF(void* p) { m_pContexteQF = p; }
    virtual void SetNumEnr(long n) { m_nNumEnr = n; }
    virtual void SetNomTableNumEnr(const wchar_t* psz);
    virtual void SetNomRubriqueNumEnr(const wchar_t* psz);
    // Shares the given binary; FLAG_BINDATA set.
    virtual void SetBinData(const CZLBIN& bin);
    virtual void SetCallbackSauveZLBin(PFN_SAUVEZLBIN pfn) { m_pfnSauveZLBin = pfn; }
    virtual void SetCallbackGetSourceImage(PFN_GETSOURCEIMAGE pfn) { m_pfnGetSourceImage = pfn; }

    // Holds one reference on the new object (null holds none) and drops the
    // old one; FLAG_IMAGE follows. Setting the object already held changes
    // nothing.
    void SetZLImage(IImageZL* pi);
    // 1 sets FLAG_LOADTYPE1; 0 and 2 clear it; 3 clears it and sets
    // FLAG_IMAGE; other values change nothing.
    void SetLoadType(int nType);

    // The binary data. While FLAG_BINDATA is not set it is first filled:
    // by the save callback when there is one, else by the image object's
    // export when its query answers more than 7 for the form.
    CZLBIN* pclGetBinDataEx(int nFormat);
    // The source-image callback's answer; null without a callback.
    IImageZL* piGetSourceImage(void* pArg);

    const wchar_t* pszGetNomImage() const { return m_pszNomImage; }
    const wchar_t* pszGetNomTable() const { return m_pszNomTable; }
    const wchar_t* pszGetNomRubrique() const { return m_pszNomRubrique; }
    const wchar_t* pszGetNomTableNumEnr() const { return m_pszNomTableNumEnr; }
    const wchar_t* pszGetNomRubriqueNumEnr() const { return m_pszNomRubriqueNumEnr; }
    void* pGetChamp() const { return m_pChamp; }
    void* pGetCallback() const { return m_pCallback; }
    void* pGetContexteQF() const { return m_pContexteQF; }
    int64_t nGetNumEnr() const { return m_nNumEnr; }
    uint32_t dwGetFlags() const { return m_dwFlags; }
    IImageZL* piGetZLImage() const { return m_piImageZL; }

private:
    wchar_t* m_pszNomImage = nullptr;
    wchar_t* m_pszNomTable = nullptr;
    wchar_t* m_pszNomRubrique = nullptr;
    void* m_pChamp = nullptr;
    void* m_pCallback = nullptr;
    void* m_pContexteQF = nullptr;
    int64_t m_nNumEnr = -1;
    wchar_t* m_pszNomTableNumEnr = nullptr;
    wchar_t* m_pszNomRubriqueNumEnr = nullptr;
    uint32_t m_dwFlags = 0;
    CZLBIN m_clBinData;
    PFN_SAUVEZLBIN m_pfnSauveZLBin = nullptr;
    PFN_GETSOURCEIMAGE m_pfnGetSourceImage = nullptr;
    IImageZL* m_piImageZL = nullptr;
};

static_assert(sizeof(CZLMemoImage) == 128, "CVXUnknown, then the fields in the host's order");
