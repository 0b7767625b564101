#pragma once

// The MySQL statement: the statement of one parse of a MySQL data access.
// It is the native statement with four MySQL forms: CREATE TABLE asks for
// the InnoDB engine; an automatic identifier is written as AUTO_INCREMENT
// with its PRIMARY KEY table constraint; the record count of an SQL query is
// taken by reading the query's rows unbuffered instead of by a COUNT query;
// after an INSERT the automatic identifier is read back from the client
// library; and a date written into a YEAR column goes as its year. It adds
// no field.
#include "native/access/statement.h"

class CMySQLConnection;
class CMySQLStatementSQL;

class CMySQLStatement : public CNAStatement
{
public:
    CMySQLStatement(CNADataAccess* pclDataAccess, CNAError* pclError);
    ~CMySQLStatement() override;

    // The base text with the storage engine clause: " ENGINE=InnoDB" from
    // server major 5 on, " Type=InnoDB" before.
    int bBuildQueryCREATE(CNACommand* pclCommand) override;
    // The automatic identifier the server gave the inserted row, into the
    // record's identifier column; 1 also when there is none.
    int bUpdateRecordAfterInsert(eNAQUERYTYPE eKind, NA_WRITEPARSEFLAGS nFlags) override;
    // An SQL query that is corrected by the driver is counted by reading its
    // rows unbuffered; tables and queries sent as written use the base.
    int bGetNbEnr(long* pnCount, NA_WRITEPARSEFLAGS nFlags, int bNoCondition) override;
    // AUTO_INCREMENT with its PRIMARY KEY for an automatic identifier, a
    // PRIMARY KEY table constraint for another primary item, else the base.
    int _bGetNativeConstraint(CNAColumn* pclColumn, CTString* pcsConstraint) override;
    // A YEAR column reads as a date (the first of January of its year) and
    // takes back only a year: a date written into it goes as its year, any
    // other value as the base writes it.
    int _bAddColumnValue(CNACommand* pclCommand, CNAColumn* pclColumn, eNAQUERYTYPE eKind,
                         NA_WRITEPARSEFLAGS nFlags) override;

private:
    CMySQLConnection* _pclMySQLConnection() const;
    CMySQLStatementSQL* _pclMySQLStatementSQL() const;
    // The count of the query by reading its rows (the data access is on a
    // query that the driver corrects).
    int _bGetNbEnrByReading(long* pnCount);
};
