#pragma once

#include <cstdint>

#include "common/system/disk_file.h"
#include "common/text/ct_string.h"

// One entry of an archive's directory: the archive path with '\' as
// separator, the sizes, times and attribute word, and the password's digest
// for an encrypted entry. The entry also keeps the number of its archive
// entry in the reader (1-based), through which it is extracted, so that two
// entries whose names differ only in case, or are equal, never stand for one
// another.
class CRepEntree
{
public:
    using _stXFILETIME = CDiskFile::_stXFILETIME;
    static constexpr int DIGEST_KIND_MD5 = 2;

    CRepEntree() = default;
    CRepEntree(const CRepEntree&) = default;
    CRepEntree& operator=(const CRepEntree&) = default;
    virtual ~CRepEntree() = default;

    // From values (the times as given).
    bool bConstruit(const wchar_t* pszName, uint64_t oOriginal, uint64_t oCompressed, uint32_t dwAttributes,
                    const _stXFILETIME& stCreation, const _stXFILETIME& stModification, const _stXFILETIME& stAccess);
    // From a file on disk: its size, attribute word and modification time
    // (for all three times); the archive name given.
    bool bConstruit(const wchar_t* pszName, const wchar_t* pszFile);
    // The flag; when encrypted the digest kind and the MD5 digest of the
    // password's bytes (installer/password_bytes.h), else both 0.
    void SetCrypte(int bEncrypted, int nKind, const wchar_t* pszPassword);
    // Whether the password's digest is the stored one.
    bool bMdpOK(const wchar_t* pszPassword) const;
    // Compressed size 0 and a name empty or ending with a separator.
    bool bEstUnFichierFactice() const;

    const wchar_t* pszNom() const { return m_sNom.pszGet(); }
    void SetNom(const wchar_t* psz) { m_sNom = psz; }

    CTString m_sNom;
    uint64_t m_oTailleOriginale = 0;
    uint64_t m_oTailleCompresse = 0;
    _stXFILETIME m_stCreation = {};
    _stXFILETIME m_stModification = {};
    _stXFILETIME m_stAcces = {};
    uint32_t m_dwAttributs = 0;
    int32_t m_bCrypte = 0;
    uint8_t m_byReserve = 0;
    uint8_t m_byTypeMdp = 0;
    uint8_t m_abyMdp[16] = {};
    uint64_t m_nNumeroZip = 0;         // reader's entry number; 0 for an entry not from an archive
    int32_t m_lSuivantMemeNom = -1;    // next position with the same name ignoring case
    int32_t m_lDernierMemeNom = -1;    // on the first entry of a name: the last one of its chain
};
