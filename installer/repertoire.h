#pragma once

#include <cstdint>

#include "common/text/tableau.h"
#include "installer/rep_entree.h"
#include "installer/string_hash_table.h"
#include "installer/vx_zip_result.h"

class CDiskFile;

// An archive's directory: its entries in order, with a name index. The
// index (case-insensitive) holds the first position of each name; the
// entries of one name ignoring case are chained in directory order
// (m_lSuivantMemeNom), so a look-up can prefer the entry of exactly that
// name, and among equal names the first.
class CRepertoire
{
public:
    CRepertoire();
    virtual ~CRepertoire();
    CRepertoire(const CRepertoire&) = delete;
    CRepertoire& operator=(const CRepertoire&) = delete;

    void Vide();
    // Position of the first entry of exactly that name; without
    // bCaseSensitive, failing that, of the first equal to it ignoring case;
    // -1 when none. Separators are compared as they are ('\' in names).
    long lRang(const wchar_t* pszName, int bCaseSensitive = 0) const;
    bool bTrouve(const wchar_t* pszName) const { return lRang(pszName) >= 0; }
    // From archive values: counted, appended, indexed. False when memory
    // runs out.
    bool bAjouteEntree(const CRepEntree& entry);
    // A new entry stamped with the current local time.
    bool bCreeEntree(const wchar_t* pszName, uint64_t oOriginal, uint64_t oCompressed, uint32_t dwAttributes,
                     int bEncrypted, const wchar_t* pszPassword);
    void SupprimeElement(long nPosition);
    bool bChangeChemin(long nPosition, const wchar_t* pszName);
    // Placeholders move behind the other entries (order kept otherwise).
    void ForceRepVideAlaFin();

    long nGetNbEntrees() const { return m_tabEntrees.nGetNbElement(); }
    long nGetNbFichiers() const { return m_nNbFichiers; }
    // Null outside 0 .. count - 1.
    CRepEntree* pclGetEntree(long nPosition) const;

    // Serialised form: 4 + per entry the name's length + 59 bytes.
    uint64_t dwTaille() const;
    // False on a short read or a malformed record (the directory then
    // holds the entries read before).
    bool bLit(CDiskFile& file);
    // 0; 1 for a name that code page 1252 cannot hold or an entry of 4 GiB
    // or more; 5 when a write fails. Writing stops at the first failure.
    _eVXzipResult eEcrit(CDiskFile& file) const;

private:
    bool _bAjouteEntree(CRepEntree* pEntry);
    // The index and chains of every entry again.
    bool _bRecalculeHash();
    bool _bIndexe(long nPosition);

    CTTableau<CRepEntree*> m_tabEntrees;
    long m_nNbFichiers = 0;
    CTHashTableTi<long> m_index;
};
