// A saved position's references and parameters.
#include "native/access/position.h"

#include "native/access/data_access.h"
#include "native/access/statement.h"

CNAPosition::~CNAPosition()
{
    _ReleaseRecordSaves();
    CNAStatement* pclStatement = m_pclStatement;
    m_pclStatement = nullptr;
    if (pclStatement != nullptr)
        pclStatement->nRelease();
}

void CNAPosition::SetStatement(CNAStatement* pclStatement)
{
    if (pclStatement != nullptr)
        REF_AddRef(pclStatement);
    CNAStatement* pclFormer = m_pclStatement;
    m_pclStatement = pclStatement;
    if (pclStatement != nullptr)
        m_pclDataAccess = pclStatement->pclGetDataAccessNoRef();
    if (pclFormer != nullptr)
        pclFormer->nRelease();
}

CNAStatement* CNAPosition::pclGetStatement() const
{
    if (m_pclStatement != nullptr)
        REF_AddRef(m_pclStatement);
    return m_pclStatement;
}

int CNAPosition::bSetParameters(int nRowID, int nRecordSaveID, const CNAUserSearch& clSearch, int nEqualRank)
{
    m_bParametersSet = 1;
    m_nRowID = nRowID;
    _SetRecordSave(&m_nRecordSaveID, nRecordSaveID);
    m_clUserSearch.Copy(clSearch);
    m_nEqualRank = nEqualRank;
    return 1;
}

int CNAPosition::bKeepFilter(CNAFilter* pclFilter)
{
    m_clFilterSave.SetFilter(pclFilter);
    return 1;
}

void CNAPosition::SetRecordSaveID_VerrueHAjouteHLit(CNADataAccess* pclDataAccess, int nRecordSaveID)
{
    // Saves given back to a former data access first: a save's number only
    // means something to its own data access.
    if (pclDataAccess != m_pclDataAccess)
        _SetRecordSave(&m_nAddedRecordSaveID, -1);
    m_pclDataAccess = pclDataAccess;
    _SetRecordSave(&m_nAddedRecordSaveID, nRecordSaveID);
}

void CNAPosition::_SetRecordSave(int32_t* pnSlot, int nRecordSaveID)
{
    if (nRecordSaveID == *pnSlot)
        return;
    if (nRecordSaveID != -1 && m_pclDataAccess != nullptr)
        m_pclDataAccess->AddRefRecordSave(nRecordSaveID);
    const int nFormer = *pnSlot;
    *pnSlot = nRecordSaveID;
    if (nFormer != -1 && m_pclDataAccess != nullptr)
        m_pclDataAccess->nReleaseRecordSave(nFormer);
}

void CNAPosition::_ReleaseRecordSaves()
{
    _SetRecordSave(&m_nRecordSaveID, -1);
    _SetRecordSave(&m_nAddedRecordSaveID, -1);
}
