#pragma once

// A query as the host's SQL module parsed it: its text, its clauses' spans,
// its kind, and enumerations of its FROM tables, output items, GROUP BY and
// ORDER BY elements, UPDATE assignments and INSERT columns, each one per
// call with a restart flag (non-zero: from the first), null after the last.
// Enumerated elements come without a reference: the driver takes its own to
// keep one. Held by external references (slots 5 and 6).
//
// Clause starts answer 0 when the clause is absent, ends -1.
#include <cstdint>

#include "native/model/na_version.h"
#include "native/sql/host_sql_types.h"

class IExpOpExpression;
class IInfoAffectation;
class IInfoFrom;
class IInfoGroupe;
class IInfoInsertion;
class IInfoJointure;
class IInfoOrderBy;
class IInfoRubrique;
class INADataSourceDescription;
struct CTabValParser;

class ISQLParserInformation : public INAVersion
{
public:
    virtual void ExternalAddRef() = 0;                                                     // 5
    virtual unsigned nExternalRelease() = 0;                                               // 6
    // The version handshake: the driver's two version numbers in, the SQL
    // module's version written to *pnVersion; 0 on failure.
    virtual int bCheckVersion(int nMajor, int nMinor, uint32_t* pnVersion) = 0;            // 7
    virtual const wchar_t* pszGetRequete() const = 0;                                      // 8
    virtual long nGetWhereStart() const = 0;                                               // 9
    virtual long nGetWhereEnd() const = 0;                                                 // 10
    virtual long nGetOrderByStart() const = 0;                                             // 11
    virtual eTYPEREQUETE eGetTypeRequete() const = 0;                                      // 12
    virtual long nGetHavingStart() const = 0;                                              // 13
    virtual long nGetHavingEnd() const = 0;                                                // 14
    virtual IInfoFrom* piEnumFrom(int bRestart) = 0;                                       // 15
    // May throw.
    virtual IInfoRubrique* piEnumRubrique(int bRestart) = 0;                               // 16
    virtual IInfoGroupe* piEnumGroupe(int bRestart) = 0;                                   // 17
    virtual IInfoOrderBy* piEnumOrderBy(int bRestart) = 0;                                 // 18
    virtual IInfoAffectation* piEnumAffectation(int bRestart) = 0;                         // 19
    virtual IInfoInsertion* piEnumInsertion(int bRestart) = 0;                             // 20
    // The WHERE condition's tree and the HAVING condition's tree, without
    // a reference; null when absent.
    virtual IExpOpExpression* piGetWhereExpression() const = 0;                           // 21
    virtual IExpOpExpression* piGetHavingExpression() const = 0;                          // 22
    // Writes the physical (database) name of a table of the query, named by
    // its name or alias, into the buffer: at most nCapacity characters with
    // the terminator. 0 when the module knows none. May throw.
    virtual int bGetPhysicalName(const wchar_t* pszTable, wchar_t* pszBuffer, unsigned nCapacity) const = 0;  // 23
    // The module's description of a table of that name, without a
    // reference; null when it has none. May throw.
    virtual INADataSourceDescription* piGetNADataSourceDescription(const wchar_t* pszTable) const = 0;       // 24
    // The host-parsed clause list of the query (items and parameters in
    // text order), without a reference; null when it has none.
    virtual CTabValParser* pclGetClauseList() const = 0;                                   // 25
    // The joins, one per call (restart non-zero: from the first); null
    // after the last.
    virtual IInfoJointure* piEnumJointure(int bRestart) = 0;                               // 26
    virtual void EmptySlot27() = 0;                                                        // 27
    // The end of the parsed statement; -1 when the module marks none.
    virtual long nGetEnd() const = 0;                                                      // 28
    virtual void EmptySlot29() = 0;                                                        // 29
    // The end of the GROUP BY list; -1 without one.
    virtual long nGetGroupByEnd() const = 0;                                               // 30

protected:
    ISQLParserInformation() = default;
    ~ISQLParserInformation() = default;
};
