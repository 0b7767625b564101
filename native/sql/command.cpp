// The SQL command: life cycle, text, parameters, output columns, query
// kinds, parameter classes and the dump.
#include "native/sql/command.h"

#include <new>

#include "common/text/str_compare.h"
#include "common/text/string_concat_aw_map.h"

#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/column_null_exclusions.h"
#include "native/model/convert_variant.h"
#include "native/model/record.h"
#include "native/model/variant_any.h"
#include "native/model/zl_type_groups.h"
#include "native/driver/wide_text_value.h"

namespace {

// The builders' code pages: the 8-bit side in the client text's code page
// (-2 there makes the wide side the master), 8-bit input in the runtime's.
// A connection that has not said its client code page yet gets a wide
// master, which any later code page can be rendered from.
void SetConnectionCodePages(CTStringConcatAW& clText, const CNAConnectionDescription* pclConnection)
{
    int nMaster = pclConnection != nullptr ? pclConnection->nGetClientTextCodePage() : -2;
    if (nMaster == -1)
        nMaster = -2;
    const int nInput = pclConnection != nullptr ? pclConnection->nGetRuntimeCodePage() : -1;
    clText.SetCodePages(static_cast<unsigned>(nMaster), static_cast<unsigned>(nInput));
}

}  // namespace

CNACommand::CNACommand(CNAError* pclError, CNAConnectionDescription* pclConnection)
    : m_pclError(pclError), m_pclConnection(pclConnection)
{
    if (m_pclError != nullptr)
        m_pclError->AddRef();
    if (m_pclConnection != nullptr) {
        REF_AddRef(m_pclConnection);
        m_nOption = m_pclConnection->nGetDBKind() == 5 ? 1 : 0;
    }
    SetConnectionCodePages(m_clOriginal, m_pclConnection);
    SetConnectionCodePages(m_clAdditionalSelect, m_pclConnection);
    SetConnectionCodePages(m_clFormated, m_pclConnection);
    SetConnectionCodePages(m_clDump, m_pclConnection);
}

// --- Text ---------------------------------------------------------------------

unsigned long CNACommand::nGetOriginalLength() const
{
    if (m_nOriginalChars < 0)
        m_nOriginalChars = m_clOriginal.nGetNbCar();
    return static_cast<unsigned long>(m_nOriginalChars);
}

long CNACommand::_nOriginalMasterLength() const
{
    return m_clOriginal.bMaitreLarge() ? m_clOriginal.nGetLongueurW() : m_clOriginal.nGetLongueurA();
}

void CNACommand::_AfterOriginalAppend(long nMasterBefore)
{
    if (m_nOriginalChars < 0)
        return;
    if (m_clOriginal.bEchec()) {
        m_nOriginalChars = -1;
        return;
    }
    if (m_clOriginal.bMaitreLarge()) {
        m_nOriginalChars = m_clOriginal.nGetLongueurW();
        return;
    }
    // The characters of the bytes appended, counted alone: an append ends
    // on a whole character. Code pages whose characters are found only
    // through the whole wide text are counted again when asked.
    const unsigned nCodePage = m_clOriginal.nGetCodePageMaitre();
    if (nCodePage != 65001 && !CCarteMaitreA::s_bUnOctetParCar(nCodePage)) {
        m_nOriginalChars = -1;
        return;
    }
    const char* psz = m_clOriginal.pszGetA();
    const long nAfter = m_clOriginal.nGetLongueurA();
    // Names, keywords and numbers are mostly ASCII: one character a byte
    // on every code page counted here.
    long nAscii = nMasterBefore;
    while (nAscii < nAfter && static_cast<unsigned char>(psz[nAscii]) < 0x80)
        ++nAscii;
    if (nAscii == nAfter) {
        m_nOriginalChars += nAfter - nMasterBefore;
        return;
    }
    const CCarteMaitreA clAppended(psz + nMasterBefore, nAfter - nMasterBefore, nullptr, 0, nCodePage);
    m_nOriginalChars += clAppended.nNbCar();
}

int CNACommand::bComplete(const wchar_t* pszText, unsigned long nLength)
{
    // No text adds nothing, whatever length comes with it.
    if (pszText == nullptr)
        return 1;
    const long nLen = static_cast<long>(nLength);
    if (m_bAsWritten && !bBuilderEmpty(m_clFormated))
        m_clFormated.Add(pszText, nLen);
    const long nBefore = _nOriginalMasterLength();
    m_clOriginal.Add(pszText, nLen);
    _AfterOriginalAppend(nBefore);
    return 1;
}

int CNACommand::bCompleteWithNumber(int n)
{
    const long nBefore = _nOriginalMasterLength();
    m_clOriginal.AddNumber(n);
    _AfterOriginalAppend(nBefore);
    return 1;
}

int CNACommand::bSetInternalQuery(const wchar_t* pszText, unsigned long nLength)
{
    const int bDone = bComplete(pszText, nLength);
    m_nColumnSelectionMode = 3;
    return bDone;
}

void CNACommand::_CompleteFormatedSQL(const wchar_t* pszText, long nLength)
{
    m_clFormated.Add(pszText, nLength);
}

void CNACommand::Insert(unsigned long nPosition, const wchar_t* pszText)
{
    if (pszText == nullptr || pszText[0] == L'\0')
        return;
    const unsigned long nBefore = nGetOriginalLength();
    if (nPosition > nBefore)
        nPosition = nBefore;
    if (m_bAsWritten && !bBuilderEmpty(m_clFormated))
        m_clFormated.Insert(pszText, -1, static_cast<long>(nPosition));
    m_clOriginal.Insert(pszText, -1, static_cast<long>(nPosition));
    m_nOriginalChars = -1;
    // Measured in the builder: a character the 8-bit side cannot hold may
    // take a different count there than in the text given.
    const unsigned long nAfter = nGetOriginalLength();
    if (nAfter > nBefore)
        _OffsetParameter(nPosition, nAfter - nBefore);
}

void CNACommand::Tronque(unsigned long nLength)
{
    if (nLength < nGetOriginalLength())
    {
        m_clOriginal.Tronque(static_cast<long>(nLength));
        m_nOriginalChars = -1;
    }
    for (int i = m_tabParameters.nGetNbElement() - 1; i >= 0; --i) {
        CNAParameter* pclParameter = m_tabParameters[i];
        if (pclParameter->nGetPosition() < nLength)
            break;
        m_tabParameters.Supprime(i, 1);
        CNARefArray<CNAParameter>::_Release(pclParameter);
    }
}

void CNACommand::TakeBack(unsigned long nLength, int nParameters)
{
    if (nLength < nGetOriginalLength()) {
        m_clOriginal.Tronque(static_cast<long>(nLength));
        m_nOriginalChars = -1;
    }
    if (nParameters < 0)
        nParameters = 0;
    for (int i = m_tabParameters.nGetNbElement() - 1; i >= nParameters; --i) {
        CNAParameter* pclParameter = m_tabParameters[i];
        m_tabParameters.Supprime(i, 1);
        CNARefArray<CNAParameter>::_Release(pclParameter);
    }
}

void CNACommand::Replace(unsigned long nPosition, unsigned long nCount, const wchar_t* pszText)
{
    const unsigned long nBefore = nGetOriginalLength();
    if (nPosition > nBefore)
        return;
    if (nCount > nBefore - nPosition)
        nCount = nBefore - nPosition;
    m_clOriginal.Remplace(static_cast<long>(nPosition), static_cast<long>(nCount), pszText, -1);
    m_nOriginalChars = -1;
    const unsigned long nAfter = nGetOriginalLength();
    const unsigned long nEnd = nPosition + nCount;
    for (int i = 0; i < m_tabParameters.nGetNbElement(); ++i) {
        CNAParameter* pclParameter = m_tabParameters[i];
        const unsigned long nAt = pclParameter->nGetPosition();
        if (nAt >= nEnd)
            pclParameter->SetPosition(nAt + nAfter - nBefore);
        else if (nAt > nPosition)
            // Its text went with the span: it stands where the span began.
            pclParameter->SetPosition(nPosition);
    }
}

void CNACommand::_OffsetParameter(unsigned long nPosition, unsigned long nDelta)
{
    for (int i = 0; i < m_tabParameters.nGetNbElement(); ++i) {
        CNAParameter* pclParameter = m_tabParameters[i];
        if (pclParameter->nGetPosition() >= nPosition)
            pclParameter->SetPosition(pclParameter->nGetPosition() + nDelta);
    }
}

// --- Life cycle -----------------------------------------------------------------

void CNACommand::ResetCommand(int bKeepParameters)
{
    m_tabDefines.SupprimeTout();
    m_nResetWord = 0;
    m_clOriginal.Vide();
    m_nOriginalChars = 0;
    m_clFormated.Vide();
    if (!bKeepParameters)
        m_tabParameters.SupprimeTout();
    m_llLimit = -1;
    m_llOffset = -1;
}

// --- Parameters -------------------------------------------------------------------

CNAConvertVariant* CNACommand::_vpclAllocVariant()
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    return pclDriver != nullptr ? pclDriver->pclAllocVariant(m_pclError, m_pclConnection) : nullptr;
}

int CNACommand::bAddParameter(CNAParameter* pclParameter)
{
    if (pclParameter == nullptr)
        return 0;
    CNARefArray<CNAParameter>::_AddRef(pclParameter);
    if (!m_tabParameters.Ajoute(pclParameter)) {
        CNARefArray<CNAParameter>::_Release(pclParameter);
        _SetNoMemory(NASite::kCommandTextNoMemory);
        return 0;
    }
    return 1;
}

int CNACommand::bAddParameter(CNAConvertVariant* pclValue, eOPEXPRESSION eOperator, unsigned nFlags,
                              CNAColumn* pclColumn, const wchar_t* pszName, wchar_t cEscape,
                              CNAParameter::eNAPARAMETERINOUT eDirection)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    if (pclDriver == nullptr)
        return 0;
    CNAParameter* pclParameter = pclDriver->pclAllocParameter(pclValue, nGetOriginalLength(), nFlags, pszName);
    if (pclParameter == nullptr) {
        _SetNoMemory(NASite::kCommandTextNoMemory);
        return 0;
    }
    REF_AddRef(pclParameter);
    pclParameter->SetOperator(eOperator);
    pclParameter->SetEscape(static_cast<int>(cEscape));
    pclParameter->SetDirection(eDirection);
    if (pclColumn != nullptr)
        pclParameter->SetColum(pclColumn);
    const int bDone = bAddParameter(pclParameter);
    REF_Release(pclParameter);
    return bDone;
}

int CNACommand::bAddParameter(const CAny* pclValue, eOPEXPRESSION eOperator, unsigned nFlags, CNAColumn* pclColumn,
                              wchar_t cEscape, CNAParameter::eNAPARAMETERINOUT eDirection)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    if (pclDriver == nullptr || pclValue == nullptr)
        return 0;
    CNAConvertVariant* pclVariant = pclDriver->pclGetNewVariant_NV_Any(m_pclError, m_pclConnection, pclColumn,
                                                                       pclValue);
    if (pclVariant == nullptr)
        return 0;
    // Held for the call: the parameter takes its own reference.
    REF_AddRef(pclVariant);
    const int bDone = bAddParameter(pclVariant, eOperator, nFlags, pclColumn, nullptr, cEscape, eDirection);
    REF_Release(pclVariant);
    return bDone;
}

int CNACommand::bAddParameterReturn(CNAConvertVariant* pclValue)
{
    return bAddParameter(pclValue, static_cast<eOPEXPRESSION>(-1), 0, nullptr, nullptr, L'\0',
                         CNAParameter::NA_PARAM_RETURN);
}

CNAParameter* CNACommand::pclGetParameterNoRef(unsigned nIndex) const
{
    if (nIndex >= static_cast<unsigned>(m_tabParameters.nGetNbElement()))
        return nullptr;
    return m_tabParameters[static_cast<int>(nIndex)];
}

CNAParameter* CNACommand::pclGetParameterByNameNoRef(const wchar_t* pszName) const
{
    if (pszName == nullptr)
        return nullptr;
    for (int i = 0; i < m_tabParameters.nGetNbElement(); ++i) {
        CNAParameter* pclParameter = m_tabParameters[i];
        const wchar_t* pszOwn = pclParameter->pszGetName();
        if (pclParameter->bIsUser() && STR_nCompareW(pszOwn != nullptr ? pszOwn : L"", pszName, 3) == 0)
            return pclParameter;
    }
    return nullptr;
}

int CNACommand::nGetUserParamIndice(const CNAParameter* pclParameter) const
{
    if (pclParameter == nullptr)
        return -1;
    for (int i = 0; i < m_tabParameters.nGetNbElement(); ++i) {
        const CNAParameter* pclOwn = m_tabParameters[i];
        if (pclOwn->bIsUser() && pclOwn->nGetPosition() == pclParameter->nGetPosition())
            return i;
    }
    return -1;
}

// --- Combining commands -------------------------------------------------------

int CNACommand::bAdd(CNACommand* pclOther, eADDMMODE eMode)
{
    if (pclOther == nullptr)
        return 0;
    const unsigned long nBase = nGetOriginalLength();
    const CTStringConcatAW& clOther = pclOther->m_clOriginal;
    if (!bBuilderEmpty(clOther)) {
        const wchar_t* pszOther = clOther.pszGetW();
        if (!bComplete(pszOther, static_cast<unsigned long>(clOther.nGetLongueurW())))
            return 0;
    }
    const int bDone = _bAddParameters(pclOther->m_tabParameters, nBase, eMode);
    if (!bDone)
        return 0;
    for (int i = 0; i < pclOther->m_tabDefines.nGetNbElement(); ++i) {
        CNADefine* pclDefine = pclOther->m_tabDefines[i];
        CNARefArray<CNADefine>::_AddRef(pclDefine);
        if (!m_tabDefines.Ajoute(pclDefine)) {
            CNARefArray<CNADefine>::_Release(pclDefine);
            _SetNoMemory(NASite::kCommandTextNoMemory);
            return 0;
        }
    }
    return bDone;
}

int CNACommand::_bAddParameters(const CNARefArray<CNAParameter>& tabOther, unsigned long nBase, eADDMMODE eMode)
{
    int bDone = 1;
    // Counted before the loop: when a command is added to itself its array
    // grows with every append.
    const int nCount = tabOther.nGetNbElement();
    for (int i = 0; i < nCount; ++i) {
        CNAParameter* pclSource = tabOther[i];
        CNAParameter* pclParameter = eMode == ADDMODE_CLONE ? pclSource->pclGetClone() : pclSource;
        if (pclParameter == nullptr)
            return 0;
        pclParameter->SetPosition(nBase + pclSource->nGetPosition());
        if (!bAddParameter(pclParameter))
            bDone = 0;
        if (eMode == ADDMODE_CLONE)
            REF_Release(pclParameter);
    }
    return bDone;
}

// --- Output columns -------------------------------------------------------------

void CNACommand::AddDefine(CNAColumn* pclColumn)
{
    _AddDefine(new (std::nothrow) CNADefine(pclColumn));
}

void CNACommand::AddDefine(const wchar_t* pszName, CNAConvertVariant* pclValue)
{
    _AddDefine(new (std::nothrow) CNADefine(pszName, pclValue));
}

void CNACommand::_AddDefine(CNADefine* pclDefine)
{
    if (pclDefine == nullptr) {
        _SetNoMemory(NASite::kCommandTextNoMemory);
        return;
    }
    CNARefArray<CNADefine>::_AddRef(pclDefine);
    if (!m_tabDefines.Ajoute(pclDefine)) {
        CNARefArray<CNADefine>::_Release(pclDefine);
        _SetNoMemory(NASite::kCommandTextNoMemory);
    }
}

CNADefine* CNACommand::pclGetDefineNoRef(int n) const
{
    return n >= 0 && n < m_tabDefines.nGetNbElement() ? m_tabDefines[n] : nullptr;
}

int CNACommand::_bAddColumnInSelect(const wchar_t* pszText)
{
    if (m_tabDefines.nGetNbElement() > 0 && !bComplete(L",", 1))
        return 0;
    return bComplete(pszText, static_cast<unsigned long>(-1));
}

int CNACommand::bAddSelectColumn(CNAColumn* pclColumn, int nOption)
{
    if (pclColumn == nullptr)
        return 0;
    const int bDone = _bAddColumnInSelect(pclColumn->pszGetFormatedSelectName(nOption));
    AddDefine(pclColumn);
    return bDone;
}

int CNACommand::bAddSelectColumns(CNARecord* pclRecord, int nOption)
{
    if (pclRecord == nullptr)
        return 0;
    int bDone = 1;
    for (int i = 0; i < pclRecord->nGetNbColumn(); ++i) {
        CNAColumn* pclColumn = pclRecord->pclGetColumnNoRef(i);
        if (pclColumn == nullptr || !pclColumn->bMustDefine(static_cast<unsigned>(m_nColumnSelectionMode)))
            continue;
        bDone = bAddSelectColumn(pclColumn, nOption);
        if (!bDone)
            break;
    }
    return bDone;
}

int CNACommand::bAddSelectAdditionnalColumn(const wchar_t* pszName, CNAConvertVariant* pclValue)
{
    const int bDone = _bAddColumnInSelect(pszName);
    AddDefine(pszName, pclValue);
    return bDone;
}

int CNACommand::bAddSelectAdditionnalColumn(const wchar_t* pszName, unsigned short nTypeCode)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    if (pclDriver == nullptr)
        return 0;
    CNAConvertVariant* pclValue = pclDriver->pclGetNewVariant_NV_Any(m_pclError, m_pclConnection, nullptr, nTypeCode);
    if (pclValue == nullptr)
        return 0;
    REF_AddRef(pclValue);
    const int bDone = bAddSelectAdditionnalColumn(pszName, pclValue);
    REF_Release(pclValue);
    return bDone;
}

int CNACommand::bAddSelectAdditionalColumnInQueryFormat(const wchar_t* pszText, CNAConvertVariant* pclValue)
{
    if (!bBuilderEmpty(m_clAdditionalSelect))
        m_clAdditionalSelect.Add(L",", 1);
    m_clAdditionalSelect.Add(pszText, -1);
    AddDefine(pszText, pclValue);
    return 1;
}

// --- Column-NULL bookkeeping ------------------------------------------------------

int CNACommand::bColumnValuesNullSelected(const CNAColumn* pclColumn) const
{
    return m_pclColumnNull == nullptr ? 1 : m_pclColumnNull->bColumnValuesNullSelected(pclColumn);
}

int CNACommand::bCombineColumnValuesNullSelected(eNAOperator eOp, CColumnNullValueExcluded* pclOther)
{
    if (m_pclColumnNull == nullptr) {
        if (pclOther == nullptr)
            return 1;
        m_pclColumnNull = new (std::nothrow) CColumnNullValueExcluded;
        if (m_pclColumnNull == nullptr) {
            CNAError::g_RaiseSiteError(m_pclError, NASite::kCommandNullBookkeepingNoMemory, m_pclConnection,
                                       nullptr, nullptr);
            return 0;
        }
    }
    return m_pclColumnNull->bCombineColumnValuesNullSelected(eOp, pclOther);
}

int CNACommand::bCopyColumnValuesNullSelected(CColumnNullValueExcluded* pclTarget)
{
    if (pclTarget == nullptr) {
        if (m_pclColumnNull != nullptr)
            m_pclColumnNull->Reset();
        return 1;
    }
    if (m_pclColumnNull == nullptr) {
        m_pclColumnNull = new (std::nothrow) CColumnNullValueExcluded;
        if (m_pclColumnNull == nullptr) {
            CNAError::g_RaiseSiteError(m_pclError, NASite::kCommandNullBookkeepingNoMemory, m_pclConnection,
                                       nullptr, nullptr);
            return 0;
        }
    }
    (void)pclTarget->bCopyColumnValuesNullSelected(m_pclColumnNull, 0);
    return 1;
}

// --- Query kinds -------------------------------------------------------------------

void CNACommand::SetQueryType(eTYPEREQUETE eType)
{
    static const eNAQUERYTYPE kKinds[] = {NA_QUERY_SELECT, NA_QUERY_SELECT, NA_QUERY_UPDATE, NA_QUERY_INSERT,
                                          NA_QUERY_DELETE, NA_QUERY_KIND6,  NA_QUERY_KIND9};
    const int t = static_cast<int>(eType);
    m_eQueryType = t >= 1 && t <= 7 ? kKinds[t - 1] : NA_QUERY_OTHER;
}

eNAQUERYTYPE CNACommand::eConvertTypeQuery(eTYPEREQUETE eType)
{
    static const eNAQUERYTYPE kKinds[] = {NA_QUERY_OTHER,  NA_QUERY_SELECT, NA_QUERY_SELECT,
                                          NA_QUERY_UPDATE, NA_QUERY_INSERT, NA_QUERY_DELETE};
    const int t = static_cast<int>(eType);
    return t >= 0 && t <= 5 ? kKinds[t] : NA_QUERY_OTHER;
}

// --- Parameter classes ---------------------------------------------------------------

CNACommand::ePARAMTYPECONV CNACommand::ZLType2eParamType(unsigned short nTypeCode)
{
    switch (nTypeCode) {
    case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: case 14:
        return PARAMTYPE_INTEGER;
    case 11: case 12:
        return PARAMTYPE_REAL;
    case 16: case 17: case 18: case 19: case 81: case 110:
        return PARAMTYPE_TEXT;
    case 24: case 25: case 26: case 27: case 128: case 129:
        return PARAMTYPE_DATE;
    case 28: case 29:
        return PARAMTYPE_BINARY;
    case 1:
        return PARAMTYPE_BOOLEAN;
    case 10: case 13:
        return PARAMTYPE_CURRENCY;
    default:
        return PARAMTYPE_NONE;
    }
}

int CNACommand::_bNeedParameterConversionToString(const CNAVariant* pclValue, ePARAMTYPECONV eMask)
{
    if (eMask == PARAMTYPE_NONE || pclValue == nullptr)
        return 0;
    CAny clValue;
    (void)pclValue->vbGetValue(&clValue);
    const unsigned short nCode = clValue.nGetTypeCode();
    const int nClass = ZLType2eParamType(nCode);
    if (nClass == (eMask & nClass))
        return 1;
    return NA_bStringCode(nCode) && NA_nGetAnyUtilSize(clValue) == 0;
}

int CNACommand::_bNeedParameterConversionToString(const CNAParameter* pclParameter, ePARAMTYPECONV eMask)
{
    return pclParameter != nullptr ? _bNeedParameterConversionToString(pclParameter->pclGetValueNoRef(), eMask) : 0;
}

// --- Dump ----------------------------------------------------------------------------

const wchar_t* CNACommand::pszGetCommandDump()
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    const auto caption = [pclDriver](eNA_DUMPCAPTION eField) -> const wchar_t* {
        const wchar_t* psz = pclDriver != nullptr ? pclDriver->pszGetDumpCaption(eField) : nullptr;
        return psz != nullptr ? psz : L"";
    };
    m_clDump.Vide();
    m_clDump.Add(caption(NA_CAPTION_QUERY_TEXT), -1);
    m_clDump.Add(m_clOriginal.pszGetW(), -1);
    m_clDump.Add(L"\r\n", 2);
    m_clDump.Add(caption(NA_CAPTION_PARAMETER_COUNT), -1);
    m_clDump.Add(L"=", 1);
    m_clDump.AddNumber(m_tabParameters.nGetNbElement());
    m_clDump.Add(L"\r\n", 2);
    for (int i = 0; i < m_tabParameters.nGetNbElement(); ++i) {
        CNAParameter* pclParameter = m_tabParameters[i];
        m_clDump.Add(caption(NA_CAPTION_PARAMETER), -1);
        m_clDump.Add(L" ", 1);
        m_clDump.AddNumber(i);
        m_clDump.Add(L" :\t", 3);
        if (pclParameter->bIsCursor()) {
            m_clDump.Add(L" = <cursor parameter>", -1);
            m_clDump.Add(L">\r\n", 3);
            continue;
        }
        CAny clValue;
        if (pclParameter->pclGetValueNoRef() != nullptr)
            (void)pclParameter->pclGetValueNoRef()->bGetValue(&clValue);
        m_clDump.Add(caption(NA_CAPTION_RUNTIME_TYPE), -1);
        m_clDump.AddNumber(static_cast<int>(clValue.nGetTypeCode()));
        m_clDump.Add(L" = <", 4);
        if (clValue.nGetTypeCode() == 29) {
            m_clDump.Add(L"Buffer, size = ", -1);
            m_clDump.AddNumber(static_cast<long>(NA_nGetAnyUtilSize(clValue)));
        } else {
            CAny clText(clValue);
            const wchar_t* pszText = nullptr;
            if (clText.__nCastTo(110, nullptr, 1) <= 99 && !clText.bIsNull())
                pszText = NA_pszWideTextOf(&clText);
            m_clDump.Add(pszText != nullptr ? pszText : caption(NA_CAPTION_CONVERSION_FAILED), -1);
        }
        m_clDump.Add(L">\r\n", 3);
    }
    return m_clDump.pszGetW();
}

// --- Errors ------------------------------------------------------------------------------

void CNACommand::_SetNoMemory(int nSite)
{
    if (m_pclError != nullptr)
        m_pclError->SetAnyError(ANY_ERR_MEMOIRE, 0, 0, NA_SRC_COMMAND, nSite, m_pclConnection, nullptr, nullptr);
}
