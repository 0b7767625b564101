// A value holder's file load and store: a memo value attached from a file or
// extracted into one.
//
// A file's size at open is only a first guess of its content: a file that
// grows while it is read, a pipe, or a file of /proc (size 0, content on
// reading) delivers more. The content is gathered in a binary value that
// grows as the reads come, never written past its end, and refused only at
// the runtime values' size limit.
#include <cstdlib>
#include <cstring>

#include "common/system/module_info.h"
#include "common/system/x_file.h"
#include "common/text/zl_bin.h"
#include "native/driver/error_object.h"
#include "native/model/variant.h"
#include "native/model/variant_any.h"

namespace {

constexpr unsigned kChunk = 16384;

// User error 15 with the path and the file's system message.
void RecordFileError(CNAError* pclError, const stNAErrorSite& site, const wchar_t* pszPath, CXFile& file)
{
    if (pclError == nullptr)
        return;
    _CXErrorModule32 error;
    CNAError::g_SetSiteError(&error, site, nullptr, nullptr, pszPath != nullptr ? pszPath : L"");
    const CXError* pclFileError = file.pclGetXError();
    if (pclFileError != nullptr && pclFileError->pszGetSystemErrorMessage() != nullptr)
        error.SetSystemErrorMessage(pclFileError->dwGetSystemErrorCode(), pclFileError->pszGetSystemErrorMessage());
    pclError->AddError(site.eType, &error, nullptr);
}

void RecordNoMemory(CNAError* pclError, int nSite)
{
    if (pclError != nullptr)
        pclError->SetAnyError(ANY_ERR_MEMOIRE, 0, 0, NA_SRC_VARIANT, nSite, nullptr, nullptr, nullptr);
}

// Appends n bytes read behind the nUsed bytes already gathered: into the
// room the value has, then by growing it. False past the size limit.
bool bGather(CZLBIN& clContent, int64_t& nUsed, const unsigned char* pby, unsigned n)
{
    const int64_t nRoom = clContent.nGetTailleUtile() - nUsed;
    const unsigned nInto = static_cast<unsigned>(n < nRoom ? n : nRoom);
    if (nInto > 0)
        std::memcpy(clContent.pbyGetBuffer() + nUsed, pby, nInto);
    nUsed += nInto;
    if (nInto == n)
        return true;
    if (clContent.nConcat(pby + nInto, static_cast<int>(n - nInto)) != 0)
        return false;
    nUsed += n - nInto;
    return true;
}

}  // namespace

int CNAVariant::gbLoadFile(CAny* pclValue, const wchar_t* pszPath, CNAError* pclError, int bBinary)
{
    CXFile file;
    if (!file.bOpen(pszPath, IXStream::XACCESS_READ, IXStream::XSHARE_NONE, IXStream::XCREATE_EXISTING,
                    IXStream::XFLAG_NONE, nullptr)) {
        RecordFileError(pclError, NASite::kValueFileOpenRead, pszPath, file);
        return 0;
    }
    int64_t nSize = file.oGetSize();
    if (nSize < 0)
        nSize = 0;
    if (nSize > static_cast<int64_t>(ANY_MAX_UNITES)) {
        RecordNoMemory(pclError, NASite::kVariantFileNoMemory);
        return 0;
    }
    CZLBIN clContent;
    if (nSize > 0 && clContent.nSetSize(static_cast<int>(nSize)) != 0) {
        RecordNoMemory(pclError, NASite::kVariantFileNoMemory);
        return 0;
    }
    unsigned char* pbyChunk = static_cast<unsigned char*>(std::malloc(kChunk));
    if (pbyChunk == nullptr) {
        if (pclError != nullptr)
            CNAError::g_RaiseSiteError(pclError, NASite::kValueFileScratch, nullptr, nullptr, nullptr);
        return 0;
    }
    int64_t nUsed = 0;
    bool bOk = true;
    for (;;) {
        unsigned nRead = 0;
        if (!file.bRead(pbyChunk, kChunk, &nRead)) {
            RecordFileError(pclError, NASite::kValueFileRead, pszPath, file);
            bOk = false;
            break;
        }
        if (nRead == 0)
            break;
        if (!bGather(clContent, nUsed, pbyChunk, nRead)) {
            RecordNoMemory(pclError, NASite::kVariantFileNoMemory);
            bOk = false;
            break;
        }
    }
    std::free(pbyChunk);
    if (!bOk)
        return 0;
    // A file that shrank since its size was taken.
    if (nUsed < clContent.nGetTailleUtile())
        clContent.Tronque(static_cast<int>(nUsed));
    if (bBinary) {
        pclValue->__SetType(ZLTYPE_BIN, 0);
        (void)pclValue->Objet().SetValue(&clContent);
    } else {
        pclValue->__SetType(ZLTYPE_DSTRA, 0);
        (void)pclValue->Objet().SetValue(clContent.pbyGet(), static_cast<unsigned long>(nUsed));
    }
    pclValue->ClearFlags();
    return 1;
}

int CNAVariant::bLoadFile(const wchar_t* pszPath, CNAError* pclError, int bBinary)
{
    return gbLoadFile(&m_clValue, pszPath, pclError, bBinary);
}

int CNAVariant::gbStoreFile(const CAny* pclValue, const wchar_t* pszPath, CNAError* pclError)
{
    CXFile file;
    if (!file.bOpen(pszPath, IXStream::XACCESS_WRITE, IXStream::XSHARE_NONE, IXStream::XCREATE_CREATE_ALWAYS,
                    IXStream::XFLAG_NONE, nullptr)) {
        RecordFileError(pclError, NASite::kValueFileOpenWrite, pszPath, file);
        return 0;
    }
    unsigned long nSize = 0;
    const void* pData = pclValue != nullptr ? NA_pGetAnyData(*pclValue, &nSize) : nullptr;
    // The useful bytes: a text's terminator is not part of the content. A
    // typed value that holds no bytes (an empty buffer keeps none) is an
    // empty content; a value of no type has none to store.
    nSize = pclValue != nullptr ? NA_nGetAnyUtilSize(*pclValue) : 0;
    if (pData == nullptr && (pclValue == nullptr || pclValue->nGetTypeCode() == 0 || nSize > 0))
        return 0;
    if (nSize > ANY_MAX_UNITES)
        return 0;
    unsigned nWritten = 0;
    if (nSize > 0 && (!file.bWrite(pData, static_cast<unsigned>(nSize), &nWritten) || nWritten != nSize)) {
        RecordFileError(pclError, NASite::kValueFileWrite, pszPath, file);
        return 0;
    }
    return 1;
}

int CNAVariant::bStoreFile(const wchar_t* pszPath, CNAError* pclError) const
{
    CAny clValue;
    _ReadValue(&clValue);
    return gbStoreFile(&clValue, pszPath, pclError);
}
