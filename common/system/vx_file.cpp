#include "common/system/vx_file.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <cwchar>

#include "common/system/module_info.h"
#include "common/system/x_error.h"

uint8_t CVXFile::ms_byCodeProduitCourant = 0;

bool CVXFile::bOpen(const wchar_t* pszName, eFORMAT eFormat, IXStream::eACCESS eAccess, IXStream::eSHARE eShare,
                    IXStream::eCREATE eCreate, IXStream::eFLAG eFlag)
{
    return bOpenEx(pszName, eFormat, eAccess, eShare, eCreate, eFlag, 0);
}

bool CVXFile::bOpenEx(const wchar_t* pszName, eFORMAT eFormat, IXStream::eACCESS eAccess, IXStream::eSHARE eShare,
                      IXStream::eCREATE eCreate, IXStream::eFLAG eFlag, int bNewHeader)
{
    int bCreated = 0;
    if (!CXFile::bOpen(pszName, eAccess, eShare, eCreate, eFlag, &bCreated)) return false;
    const int nErrno = errno;
    const bool bWrite = eCreate == IXStream::XCREATE_CREATE_ALWAYS ||
                        (eCreate == IXStream::XCREATE_OPEN_ALWAYS && (nErrno != EEXIST || bCreated)) ||
                        bNewHeader != 0;
    return _bHeaderStep(bWrite, eFormat);
}

bool CVXFile::bReopen(eFORMAT eFormat, IXStream::eACCESS eAccess, IXStream::eSHARE eShare,
                      IXStream::eCREATE eCreate, IXStream::eFLAG eFlag)
{
    if (!CXFile::bReopen(eAccess, eShare, eCreate, eFlag)) return false;
    const int nErrno = errno;
    const bool bWrite = eCreate == IXStream::XCREATE_CREATE_ALWAYS ||
                        (eCreate == IXStream::XCREATE_OPEN_ALWAYS && nErrno != EEXIST);
    return _bHeaderStep(bWrite, eFormat);
}

bool CVXFile::_bHeaderStep(bool bWrite, eFORMAT eFormat)
{
    int64_t oOffset = 0;
    bool bOk;
    if (bWrite) {
        m_wFormat = static_cast<uint16_t>(eFormat);
        bOk = bWriteHeader(&oOffset);
    } else {
        bOk = bReadHeader(&oOffset);
    }
    if (!bOk) Close();
    return bOk;
}

void CVXFile::_RaiseErrorList(const wchar_t* pszDebug, unsigned nId, va_list* pArgs, int nArgs)
{
    CXError* pclError = _pclGetXError();
    if (pclError == nullptr) return;
    const int nSaved = errno;
    pclError->SetErrorLevel(CXError::EL_NOERROR);
    pclError->InitModInfo(&gstMyModuleInfo32, 1);
    pclError->SetErrorLevel(CXError::EL_ERROR);
    pclError->SetSystemErrorParam(0);
    pclError->AddDebugMessageNoFormat(pszDebug);
    pclError->AddUserMessageListFirst(&gstMyModuleInfo32, nId, pArgs, nArgs);
    const wchar_t* pszName = pszGetName();
    if (pszName != nullptr) pclError->AddInfo(CXError::EIT_SRCFILE, pszName);
    errno = nSaved;
}

bool CVXFile::bReadHeader(int64_t* poOffset)
{
    _stENTETE_FICHIER_QUILAN stHeader;
    if (poOffset == nullptr || !bSeek(*poOffset, IXStream::XSEEK_SET) ||
        !bRead(&stHeader, sizeof stHeader, nullptr))
        return false;

    const wchar_t* pszName = pszGetName() ? pszGetName() : L"";
    if (stHeader.dwSignature != SIGNATURE) {
        wchar_t szDebug[160];
        std::swprintf(szDebug, 160, L"##(CVXFile)-Signature geree=<%u>, signature lue=<%u>##", SIGNATURE,
                      stHeader.dwSignature);
        _RaiseError(szDebug, 28555, L"20.0", pszName);
        return false;
    }

    m_byCodeProduit = stHeader.byCodeProduit;
    m_byGeneration = stHeader.byGeneration;
    m_wReserve1 = stHeader.wReserve1;
    m_dwTailleEntete = stHeader.dwTailleEntete;
    m_wFormat = stHeader.wFormat;
    m_wReserve2 = stHeader.wReserve2;

    const uint32_t dwRead = stHeader.dwTypeFichier;
    const bool bAnyOfFour = dwRead == 2 || dwRead == 8 || dwRead == 258 || dwRead == 259;
    if (m_dwTypeFichier == 0 || (m_dwTypeFichier == TYPE_ANY_OF_FOUR && bAnyOfFour)) {
        m_dwTypeFichier = dwRead;
    } else if (m_dwTypeFichier != dwRead) {
        wchar_t szDebug[160];
        std::swprintf(szDebug, 160, L"##(CVXFile)-Type demande=<%u>, type lu=<%u>##", m_dwTypeFichier, dwRead);
        _RaiseError(szDebug, 28259, pszName);
        return false;
    }

    if (stHeader.dwTailleEntete < HEADER_SIZE) {
        wchar_t szDebug[160];
        std::swprintf(szDebug, 160, L"##(CVXFile)-Taille entete attendue=<%u>, Taille entete lue=<%u>##", HEADER_SIZE,
                      stHeader.dwTailleEntete);
        _RaiseError(szDebug, 28011, pszName);
        return false;
    }
    *poOffset += stHeader.dwTailleEntete;
    return true;
}

bool CVXFile::bWriteHeader(int64_t* poOffset)
{
    _stENTETE_FICHIER_QUILAN stHeader;
    return bWriteHeaderEx(poOffset, &stHeader);
}

bool CVXFile::bWriteHeaderEx(int64_t* poOffset, _stENTETE_FICHIER_QUILAN* pHeader)
{
    if (poOffset == nullptr || pHeader == nullptr) return false;
    m_dwTailleEntete = HEADER_SIZE;
    if (m_dwTypeFichier == TYPE_ANY_OF_FOUR) m_dwTypeFichier = 2;
    m_wReserve1 = 0;
    m_byGeneration = GENERATION;
    m_byCodeProduit = ms_byCodeProduitCourant;
    m_wReserve2 = 0;

    pHeader->dwSignature = SIGNATURE;
    pHeader->dwTailleEntete = m_dwTailleEntete;
    pHeader->dwTypeFichier = m_dwTypeFichier;
    pHeader->wReserve1 = m_wReserve1;
    pHeader->byGeneration = m_byGeneration;
    pHeader->byCodeProduit = m_byCodeProduit;
    pHeader->wFormat = m_wFormat;
    pHeader->wReserve2 = m_wReserve2;

    unsigned nWritten = 0;
    if (!bSeek(*poOffset, IXStream::XSEEK_SET) || !bWrite(pHeader, HEADER_SIZE, &nWritten)) return false;
    if (nWritten < HEADER_SIZE) {
        wchar_t szDebug[160];
        std::swprintf(szDebug, 160, L"##(IXStream)-A ecrire=<%u>, ecrit=<%u>##", HEADER_SIZE, nWritten);
        _RaiseError(szDebug, 28009, pszGetName() ? pszGetName() : L"");
        return false;
    }
    *poOffset += HEADER_SIZE;
    return true;
}
