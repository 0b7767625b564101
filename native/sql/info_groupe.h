#pragma once

// The driver's own copy of one GROUP BY element of a parsed query: the seven
// parts the host's element gives, read once, so that the copy outlives the
// host's parse. It answers IInfoGroupe like the host's element. Counted
// plainly (no hold count): the last release deletes it.
#include <cstdint>

#include "common/text/ct_string.h"
#include "native/sql/host_info_groupe.h"

class CInfoGroupe : public IInfoGroupe
{
public:
    // The seven parts of the host's element, read in slot order.
    explicit CInfoGroupe(const IInfoGroupe* piSource);

    const wchar_t* pszGetAlias() const override;
    int bIsAvecTable() const override { return m_bAvecTable; }
    const wchar_t* pszGetNomTable() const override;
    const wchar_t* pszGetNomRubrique() const override;
    SQLPosition stGetPosition() const override { return m_stPosition; }
    const wchar_t* pszGetNomFichier() const override;
    const wchar_t* pszGetNomRubriqueAlias() const override;
    ~CInfoGroupe() override = default;

    void AddRef() { ++m_dwRefCount; }
    // Drops one reference; deletes the copy at 0. A count already at 0
    // stays 0. Returns the new count.
    unsigned nRelease();
    unsigned nGetRef() const { return m_dwRefCount; }

private:
    uint32_t m_dwRefCount = 0;
    CTString m_csAlias;
    int32_t m_bAvecTable = 0;
    CTString m_csNomTable;
    CTString m_csNomRubrique;
    SQLPosition m_stPosition{-1, -1};
    CTString m_csNomFichier;
    CTString m_csNomRubriqueAlias;
};

// Reference hooks of the counted containers (see common/text/ref_hooks.h).
inline void REF_AddRef(CInfoGroupe* p)
{
    p->AddRef();
}
inline void REF_Release(CInfoGroupe* p)
{
    p->nRelease();
}
