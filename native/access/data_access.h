#pragma once

#include <cstdint>

#include "common/text/ct_string.h"
#include "native/driver/na_forward.h"
#include "native/model/interf.h"

class CNARecord;
class CSQLParserInfo;

// How a return to a saved position treats the filter saved with it.
enum eNAPOSITION : int32_t;

// How one host context works on one data source (a table or a query) of a
// connection. The host context's CNAContext keeps it under the context's
// data key and the table object keeps it too, each with one reference; it
// is counted through CInterf, plainly, under the driver-wide lock, and the
// database driver's factory (the driver's slot 48) makes it.
//
// It holds one internal reference on its connection (handed back through
// the driver's nReleaseConnection), one on its error object (its context's)
// and one external reference on its data source. Its context and its table
// are named without a reference: both outlive their registrations of it.
//
// This holds what the registries need of it: whether it is open, its close,
// its access mode, its names and its connection; and what its current record
// asks of it: its query flag, its query and whether it gives columns their
// calculation kinds, and the making of the record; and what its table cache
// asks of it: its last statement and its saved positions. Its reading,
// searching and writing come with the statements.
class CNADataAccess : public CInterf
{
public:
    // Any of the three may be null.
    CNADataAccess(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection, CNAError* pclError);
    ~CNADataAccess() override;

    // Closes; 1.
    virtual int bHFerme();
    // Saved positions: the browse position of a statement kept under a
    // number, returned to (and freed unless kept) and freed. The statements
    // fill and re-establish them; until they do, no position is saved here
    // (0, number -1), none is returned to (0) and freeing a number that was
    // never given is no error (1).
    virtual int bHSauvePosition(int* pnId, const wchar_t* pszItem, eNAPOSITION eMode);
    virtual int bHRetourPosition(int nId, wchar_t* pszItem, int bKeep, eNAPOSITION eMode);
    virtual int bHLiberePosition(int nId);
    virtual void SetContext(CNAContext* pclContext) { m_pclContext = pclContext; }
    // The end of the record locks of a transaction: nothing with this
    // driver.
    virtual void CancelRecordLock(INAConnectionDescription*, CNATransaction*) {}

    // The end of the connection's transaction, for every statement of the
    // data access; the statements come with their own layer, and until then
    // there is none to mark.
    void SetTransactionTermined() {}

    int bIsOpened() const { return m_bOpened; }
    // Stores the mode; 1.
    int bHMode(_eNA_HMODE eMode);
    _eNA_HMODE eGetAccessMode() const { return m_eAccessMode; }
    // The data source's names, or the empty text without data source.
    const wchar_t* pszGetLogicalName() const;
    const wchar_t* pszGetDBTableName() const;
    // The name the host refers to the data source by; empty until opened.
    const wchar_t* pszGetAliasName() const { return m_csAliasName.pszGet(); }
    CNAConnectionDescription* pclGetConnectionNoRef() const { return m_pclConnection; }
    INADataSourceDescription* piGetDataSourceNoRef() const { return m_piSource; }
    CNAError* pclGetErrorNoRef() const { return m_pclError; }
    CNAContext* pclGetContextNoRef() const { return m_pclContext; }
    void SetTable(CNATable* pclTable) { m_pclTable = pclTable; }
    CNATable* pclGetTableNoRef() const { return m_pclTable; }
    // The statement of the latest browse, whose row is the current record;
    // null before any.
    CNAStatement* pclGetLastStatementNoRef() const { return m_pclLastStatement; }

    // A new current record on the error object and this data access,
    // without a reference; null when memory runs out.
    virtual CNARecord* _pclAllocRecord(CNAError* pclError);
    // Whether the data source is a query, and the host's parsed query of a
    // query source (null when none was given).
    int bIsQuery() const { return m_bQuery; }
    CSQLParserInfo* pclGetSourceQueryNoRef() const { return m_pclSourceQuery; }
    // Whether the columns of the current record take their calculation
    // kinds from their items (0: every column is a plain one).
    int bColumnKindsEnabled() const { return m_bColumnKinds; }
    // How its rows are identified: 1 by their values, 3 by a row id.
    virtual int eEvaluateRecordIdType() const { return 1; }
    // A new identity of that kind for the row (no reference): by values over
    // the row, or by row id over a value holder from the driver; null for
    // another kind or when none can be made.
    CNARecordId* pclAllocRecordID(const CNARecordValue* pclRow) const;

protected:
    CNAError* m_pclError = nullptr;
    CNAConnectionDescription* m_pclConnection = nullptr;
    INADataSourceDescription* m_piSource = nullptr;
    int32_t m_bOpened = 0;
    _eNA_HMODE m_eAccessMode;
    CNATable* m_pclTable = nullptr;
    CNAContext* m_pclContext = nullptr;
    CTString m_csAliasName;
    int32_t m_bQuery = 0;
    CSQLParserInfo* m_pclSourceQuery = nullptr;
    int32_t m_bColumnKinds = 0;
    CNAStatement* m_pclLastStatement = nullptr;
};
