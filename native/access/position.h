#pragma once

// A saved position of a browse: the statement that was browsing, what
// identifies the row it stood on (its row in the statement's result, the
// record saves of the data access holding its values), the user search and
// filter in force, and the statement's equal rank then. The statement fills
// it and re-establishes it; the data access keeps it under a position
// number.
//
// Counted through CInterf, plainly, under the driver-wide lock. It holds one
// reference on its statement and on each of its record saves (given back to
// its data access, which is named without a reference).
#include <cstdint>

#include "common/text/ct_string.h"
#include "native/access/user_search.h"
#include "native/driver/na_forward.h"
#include "native/model/interf.h"
#include "native/sql/filter_save.h"

class CNAFilter;

// How a return to a saved position treats the filter saved with it.
enum eNAPOSITION : int32_t;

class CNAPosition : public CInterf
{
public:
    // Counts 0, ids -1, nothing else.
    CNAPosition() = default;
    // Slots 0-1: the record saves and the statement released.
    ~CNAPosition() override;

    // Keeps the statement (one reference) and its data access.
    void SetStatement(CNAStatement* pclStatement);
    // The statement with a reference for the caller, or null.
    CNAStatement* pclGetStatement() const;
    CNAStatement* pclGetStatementNoRef() const { return m_pclStatement; }
    void SetItem(const wchar_t* pszItem) { m_csItem.Set(pszItem); }
    const wchar_t* pszGetItem() const { return m_csItem.pszGet(); }
    void InvalidateRowID() { m_nRowID = -1; }
    int nGetRowID() const { return m_nRowID; }
    int nGetRecordSaveID() const { return m_nRecordSaveID; }
    int bParametersSet() const { return m_bParametersSet; }
    // A position that holds only a record save of the data access: it is
    // re-established by search.
    void ClearParametersSet() { m_bParametersSet = 0; }
    int nGetAddedRecordSaveID() const { return m_nAddedRecordSaveID; }
    CNADataAccess* pclGetDataAccessNoRef() const { return m_pclDataAccess; }
    int bRowDeleted() const { return m_bRowDeleted; }
    void SetRowDeleted(int bDeleted) { m_bRowDeleted = bDeleted; }
    int nGetEqualRank() const { return m_nEqualRank; }
    const CNAUserSearch& clGetUserSearch() const { return m_clUserSearch; }
    CNAFilterSave* pclGetFilterSave() { return &m_clFilterSave; }

    // Parameters set; the row, the record save (referenced unless -1), a
    // copy of the user search and the equal rank; 1.
    int bSetParameters(int nRowID, int nRecordSaveID, const CNAUserSearch& clSearch, int nEqualRank);
    int bKeepFilter(CNAFilter* pclFilter);
    // The data access's current record save of a record just added and
    // read, kept beside the position's own (referenced; the data access is
    // the one given).
    void SetRecordSaveID_VerrueHAjouteHLit(CNADataAccess* pclDataAccess, int nRecordSaveID);

protected:
    // A record save of the data access into a slot: the new one referenced
    // (unless -1), the former one given back.
    void _SetRecordSave(int32_t* pnSlot, int nRecordSaveID);
    void _ReleaseRecordSaves();

    int32_t m_nRowID = -1;
    int32_t m_nRecordSaveID = -1;
    int32_t m_nAddedRecordSaveID = -1;
    CNADataAccess* m_pclDataAccess = nullptr;
    CNAUserSearch m_clUserSearch;
    CNAFilterSave m_clFilterSave;
    CTString m_csItem;
    int32_t m_bParametersSet = 0;
    int32_t m_bRowDeleted = 0;
    CNAStatement* m_pclStatement = nullptr;
    int32_t m_nEqualRank = 0;
};
