#pragma once

// A statement around a current record, for the tests of what the data model
// asks of a statement: its record and the bind/define flag of its command,
// which the test sets.
#include "native/access/statement.h"

class CTestStatement : public CNAStatement
{
public:
    CTestStatement(CNADataAccess* pclDataAccess, CNAError* pclError, CNARecord* pclRecord)
        : CNAStatement(pclDataAccess, pclError)
    {
        SetCurrentRecord(pclRecord);
    }

    void SetBindDefineFlag(int nFlag) { m_nBindDefineFlag = nFlag; }
};
