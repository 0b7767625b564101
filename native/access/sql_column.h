#pragma once

// The column of a statement's current record: a record column that takes
// its value from the current row of the statement's execution statement.
// The driver's column factory (slot 50) makes one for each item of a record.
// It adds no field to the record column; only the read from the database is
// its own.
#include "native/model/column.h"

class CNASQLColumn : public CNAColumn
{
public:
    CNASQLColumn(CNAError* pclError, INAItemDescription* piItem) : CNAColumn(pclError, piItem) {}
    ~CNASQLColumn() override = default;

    // The value of the column's item (by its physical index) from the
    // statement's current row; the item in the current row marked defined
    // exactly when the value is not NULL. A memo's value is retyped to the
    // column's runtime type first and set NULL when the read fails (then 0
    // with no mark); a failed read of another column still marks it.
    int bSetValueFromDB(CNAStatement* pclStatement, unsigned nFlags) override;
};
