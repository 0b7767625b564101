#include "native/driver/error_object.h"

#include <cstring>

#include "common/system/error_site.h"
#include "common/system/module_info.h"
#include "native/driver/connection_description.h"
#include "native/driver/thread_error_records.h"
#include "native/model/interf.h"

namespace {

// Every section, sub-errors included, empty sections left out.
const CXError::eXERROR_INFO kFullDump = CXError::XEI_NOEMPTY | CXError::XEI_ALL;

const wchar_t* pszInfoText(const CXError& error, CXError::eERRORINFOTYPE eType)
{
    const void* p = nullptr;
    return error.bGetInfo(eType, &p) ? static_cast<const wchar_t*>(p) : nullptr;
}

unsigned dwInfoNumber(const CXError& error, CXError::eERRORINFOTYPE eType)
{
    // A 32-bit item comes back in the first bytes of the pointer itself.
    const void* p = nullptr;
    if (!error.bGetInfo(eType, &p))
        return 0;
    uint32_t dw = 0;
    std::memcpy(&dw, &p, sizeof dw);
    return dw;
}

}  // namespace

CNAError::~CNAError()
{
    if (m_bPerThread)
        CNAThreadErrorRecords::g_ForgetShared(this);
}

CNAError* CNAError::_pclThreadRecord() const
{
    return CNAThreadErrorRecords::g_pclRecordOf(this);
}

unsigned CNAError::nRelease()
{
    return NA_nReleaseCount(this, m_dwRefCount, 0);
}

const wchar_t* CNAError::pszGetError()
{
    if (CNAError* pclRecord = _pclForward())
        return pclRecord->pszGetError();
    // The dump appends: the text of a former read goes first.
    m_csDump.Vide();
    m_clError.StringDump(m_csDump, kFullDump);
    return m_csDump.pszGet();
}

CTString CNAError::StringDump() const
{
    if (CNAError* pclRecord = _pclForward())
        return pclRecord->StringDump();
    return m_clError.StringDump(kFullDump);
}

unsigned CNAError::dwGetErrorId() const
{
    const CXError& error = _rOwn().m_clError;
    return error.eGetErrorLevel() == CXError::EL_NOERROR ? 0 : error.nGetUserErrorCode();
}

const wchar_t* CNAError::pszGetLogicalTableName() const
{
    return pszInfoText(_rOwn().m_clError, CXError::EIT_LOGICALTABLENAME);
}

const wchar_t* CNAError::pszGetItemName() const
{
    return pszInfoText(_rOwn().m_clError, CXError::EIT_ITEMNAME);
}

eNAERRORLEVEL CNAError::eGetErrorLevel() const
{
    return static_cast<eNAERRORLEVEL>(_rOwn().m_clError.eGetErrorLevel());
}

void CNAError::Reset()
{
    // A shared object's entry resets the calling thread's record only.
    if (CNAError* pclRecord = _pclForward())
        return pclRecord->Reset();
    m_clError.RAZ();
    m_eErrorType = NA_ERR_NONE;
    // The dump text is built only when the host asks for it: mostly there
    // is none to free.
    if (m_csDump.pszGet() != gszVideW)
        m_csDump.Vide();
}

void CNAError::SetErrorLevel(eNAERRORLEVEL eLevel)
{
    if (eLevel >= NA_LEVEL_NOERROR && eLevel <= NA_LEVEL_ERROR)
        _rOwn().m_clError.SetErrorLevel(static_cast<int>(eLevel));
}

void CNAError::Copy(const INAError* piOther)
{
    // A shared object given as the other reads the same record: nothing to
    // copy either.
    if (piOther == nullptr || piOther == this)
        return;
    if (CNAError* pclRecord = _pclForward())
        return pclRecord->Copy(piOther);
    m_eErrorType = piOther->eGetErrorType();
    // A copy, not a merge: the held sub-errors go first.
    m_clError.RAZ();
    m_clError.Copy(piOther->pclGetXError());
}

CXError* CNAError::_pclRecent()
{
    if (CNAError* pclRecord = _pclForward())
        return pclRecord->_pclRecent();
    const int n = m_clError.nGetNbSubError();
    return n > 0 ? m_clError.pclGetSubError(n - 1) : &m_clError;
}

const CXError* CNAError::_pclRecent() const
{
    if (const CNAError* pclRecord = _pclForward())
        return pclRecord->_pclRecent();
    const int n = m_clError.nGetNbSubError();
    return n > 0 ? m_clError.pclGetSubError(n - 1) : &m_clError;
}

void CNAError::SetDataBaseErrorMessage(const wchar_t* pszMessage)
{
    _pclRecent()->AddInfo(CXError::EIT_BASEMESSAGE, pszMessage);
}

void CNAError::SetDataBaseErrorCode(unsigned dwCode)
{
    const uint32_t dw = dwCode;
    _pclRecent()->AddInfo(CXError::EIT_BASECODE, &dw);
}

unsigned CNAError::dwGetDataBaseErrorCode() const
{
    return dwInfoNumber(*_pclRecent(), CXError::EIT_BASECODE);
}

unsigned CNAError::dwGetADOErrorCode() const
{
    return dwInfoNumber(*_pclRecent(), CXError::EIT_ADOCODE);
}

void CNAError::AddDebugInfo(int nSource, int nSite)
{
    CNAError& own = _rOwn();
    if (!own.m_bNoDetail)
        g_AddDebugInfo(own._pclRecent(), nSource, nSite);
}

void CNAError::AddDebugMessageNoFormat(const wchar_t* pszText)
{
    _pclRecent()->AddDebugMessageNoFormat(pszText);
}

void CNAError::AddDebugMessageNoFormatFirst(const wchar_t* pszText)
{
    _pclRecent()->AddDebugMessageFirst(pszText);
}

void CNAError::AddUserMessageNoFormat(const wchar_t* pszText)
{
    _pclRecent()->AddUserMessageNoFormat(pszText);
}

void CNAError::SetSystemErrorCode(unsigned dwCode)
{
    _pclRecent()->__SetSystemError(dwCode, nullptr);
}

const wchar_t* CNAError::pszGetSystemErrorMessage() const
{
    return _pclRecent()->pszGetSystemErrorMessage();
}

unsigned CNAError::dwGetSystemErrorCode() const
{
    return _pclRecent()->dwGetSystemErrorCode();
}

unsigned CNAError::nGetUserErrorCode() const
{
    return _pclRecent()->nGetUserErrorCode();
}

void CNAError::g_SetInfoNames(CXError* pclError, const wchar_t* pszTable, const wchar_t* pszItem)
{
    if (pclError == nullptr || pszTable == nullptr || pszTable[0] == 0)
        return;
    pclError->AddInfo(CXError::EIT_LOGICALTABLENAME, pszTable);
    if (pszItem != nullptr && pszItem[0] != 0)
        pclError->AddInfo(CXError::EIT_ITEMNAME, pszItem);
}

void CNAError::g_AddDebugInfo(CXError* pclError, int nSource, int nSite)
{
    if (pclError != nullptr)
        AddErrorSiteDebugLine(*pclError, static_cast<unsigned>(nSource), static_cast<unsigned>(nSite));
}

void CNAError::g_AddInfoNative(_CXErrorModule32* pclError, CNAConnectionDescription* pclConnection)
{
    if (pclError == nullptr || pclConnection == nullptr)
        return;
    pclConnection->AddInfoNativeXError(pclError);
}
