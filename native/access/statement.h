#pragma once

// The statement of one parse item of a data access: the object that runs the
// SQL of one browse and keeps the current record's columns in step with its
// result. This holds what the data model asks of it: its current record (the
// data access's, with one reference) and the bind/define flag of the command
// it runs, which tells which columns the command fetches.
//
// It reads its result's values through its execution statement, which it
// holds with a reference; a value that cannot be read leaves the execution
// statement's error in the statement's error object.
//
// Counted through CInterf, plainly, under the driver-wide lock. It holds one
// reference on its error object; its data access owns it and is named
// without a reference.
#include <cstdint>

#include "common/text/any.h"
#include "common/text/ct_string.h"
#include "native/driver/na_forward.h"
#include "native/model/interf.h"

class CNARecord;
class CNAConvertVariant;
class CNAFilter;
class CNAStatementSQL;

class CNAStatement : public CInterf
{
public:
    // One reference on the error object (which may be null); no record.
    CNAStatement(CNADataAccess* pclDataAccess, CNAError* pclError);
    // Slots 0-1: the current record, the execution statement, the row
    // cache, the filter and the error object released.
    ~CNAStatement() override;

    // Column n of the execution statement's current row into the value; 0
    // without an execution statement, or with its error copied here when
    // the value cannot be read.
    virtual int bGetSQLColumnValue(CNAConvertVariant* pclValue, unsigned nColumn);
    virtual int bGetSQLColumnValue(CAny* pclValue, unsigned nColumn);

    CNARecord* pclGetCurrentRecordNoRef() const { return m_pclCurrentRecord; }
    // Releases the held record and keeps this one with a reference.
    void SetCurrentRecord(CNARecord* pclRecord);
    // The bind/define flag of the command; 0 without command.
    int nGetBindDefineFlag() const { return m_nBindDefineFlag; }
    CNADataAccess* pclGetDataAccessNoRef() const { return m_pclDataAccess; }
    CNAError* pclGetErrorNoRef() const { return m_pclError; }
    CNAStatementSQL* pclGetStatementSQLNoRef() const { return m_pclStatementSQL; }
    // Releases the held execution statement and keeps this one with a
    // reference.
    void SetStatementSQL(CNAStatementSQL* pclStatementSQL);

    // --- Row cache.
    // On: the cache made when absent (its default blocks) and enabled. Off:
    // a cache shared with another holder is let go, an own one emptied and
    // disabled.
    void EnableCache(int bOn);
    // Whether the cache holds every row: present, enabled and complete.
    int bCacheCompleted() const;
    // The cache once it holds every row, null when it cannot. The rows left
    // are read by the statement's browse, which a derived statement brings;
    // this one answers with the cache only when it is complete already.
    virtual CNARecordCache* pclGetFullRecordCache();
    CNARecordCache* pclGetRecordCacheNoRef() const { return m_pclRecordCache; }

    // --- Name, filter and search value.
    // The item its data access keys it by; empty for the default statement.
    const wchar_t* pszGetParseItemName() const { return m_csParseItemName.pszGet(); }
    CNAFilter* pclGetFilterNoRef() const { return m_pclFilter; }
    // Whether its user search has a value, and that value (null when none).
    int bSearchValueSet() const { return m_bSearchValueSet; }
    const CAny* pclGetSearchValueNoRef() const { return m_bSearchValueSet ? &m_clSearchValue : nullptr; }

protected:
    CNAError* m_pclError;
    CNAStatementSQL* m_pclStatementSQL = nullptr;
    CNADataAccess* m_pclDataAccess;
    CNARecord* m_pclCurrentRecord = nullptr;
    int32_t m_nBindDefineFlag = 0;
    CTString m_csParseItemName;
    CNAFilter* m_pclFilter = nullptr;
    CAny m_clSearchValue;
    int32_t m_bSearchValueSet = 0;
    CNARecordCache* m_pclRecordCache = nullptr;
};
