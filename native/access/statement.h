#pragma once

// The statement of one parse item of a data access: the object that runs the
// SQL of one browse and keeps the current record's columns in step with its
// result. This holds what the data model asks of it: its current record (the
// data access's, with one reference) and the bind/define flag of the command
// it runs, which tells which columns the command fetches.
//
// Counted through CInterf, plainly, under the driver-wide lock. It holds one
// reference on its error object; its data access owns it and is named
// without a reference.
#include <cstdint>

#include "native/driver/na_forward.h"
#include "native/model/interf.h"

class CNARecord;

class CNAStatement : public CInterf
{
public:
    // One reference on the error object (which may be null); no record.
    CNAStatement(CNADataAccess* pclDataAccess, CNAError* pclError);
    // Slots 0-1: the current record and the error object released.
    ~CNAStatement() override;

    CNARecord* pclGetCurrentRecordNoRef() const { return m_pclCurrentRecord; }
    // Releases the held record and keeps this one with a reference.
    void SetCurrentRecord(CNARecord* pclRecord);
    // The bind/define flag of the command; 0 without command.
    int nGetBindDefineFlag() const { return m_nBindDefineFlag; }
    CNADataAccess* pclGetDataAccessNoRef() const { return m_pclDataAccess; }
    CNAError* pclGetErrorNoRef() const { return m_pclError; }

protected:
    CNAError* m_pclError;
    CNADataAccess* m_pclDataAccess;
    CNARecord* m_pclCurrentRecord = nullptr;
    int32_t m_nBindDefineFlag = 0;
};
