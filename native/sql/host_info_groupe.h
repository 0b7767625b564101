#pragma once

// One element of a parsed query's GROUP BY list as the host hands it out,
// and as the driver's own copy (CInfoGroupe) answers it: seven getters in
// this order, then the two destructors. Texts are empty, never null, when
// the element has no such part.
#include "native/sql/host_sql_types.h"

class IInfoGroupe
{
public:
    virtual const wchar_t* pszGetAlias() const = 0;                // 0
    // Non-zero when the element names a table ("T.A").
    virtual int bIsAvecTable() const = 0;                          // 1
    virtual const wchar_t* pszGetNomTable() const = 0;             // 2
    virtual const wchar_t* pszGetNomRubrique() const = 0;          // 3
    virtual SQLPosition stGetPosition() const = 0;                 // 4
    virtual const wchar_t* pszGetNomFichier() const = 0;           // 5
    virtual const wchar_t* pszGetNomRubriqueAlias() const = 0;     // 6
    virtual ~IInfoGroupe() = default;                              // 7-8

protected:
    IInfoGroupe() = default;
    IInfoGroupe(const IInfoGroupe&) = default;
    IInfoGroupe& operator=(const IInfoGroupe&) = default;
};
