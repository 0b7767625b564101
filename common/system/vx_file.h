#pragma once

#include <cstddef>
#include <cstdint>

#include "common/system/counted_arguments.h"
#include "common/system/x_file.h"

// The 20-byte header that opens the runtime's own data files,
// little-endian.
struct _stENTETE_FICHIER_QUILAN
{
    uint32_t dwSignature;    // 'T', 'V', 'K', 0
    uint32_t dwTailleEntete; // header size: 20 when written
    uint32_t dwTypeFichier;  // file type
    uint16_t wReserve1;      // 0 when written; nothing reads it
    uint8_t byGeneration;    // product generation: 20 when written
    uint8_t byCodeProduit;   // product code
    uint16_t wFormat;
    uint16_t wReserve2;      // 0
};
static_assert(sizeof(_stENTETE_FICHIER_QUILAN) == 20);
static_assert(offsetof(_stENTETE_FICHIER_QUILAN, dwTypeFichier) == 8);
static_assert(offsetof(_stENTETE_FICHIER_QUILAN, wReserve1) == 12);
static_assert(offsetof(_stENTETE_FICHIER_QUILAN, byGeneration) == 14);
static_assert(offsetof(_stENTETE_FICHIER_QUILAN, byCodeProduit) == 15);
static_assert(offsetof(_stENTETE_FICHIER_QUILAN, wFormat) == 16);

// A file of the runtime with its typed header: written when the file is
// created or truncated at open, read and checked otherwise.
//
// Errors of the header are raised on the stream's error object: level 3,
// this module's identity, no system error, a debug line, the user message
// put first and the file name as EIT_SRCFILE. A failed open, seek, read or
// write keeps the stream's own error.
class CVXFile : public CXFile
{
public:
    // The format stored in the header (16 bits); its values belong to each
    // file type.
    enum eFORMAT : int
    {
        XFORMAT_DEFAULT = 0,
    };

    static constexpr uint32_t SIGNATURE = 0x004B5654;       // 'T', 'V', 'K', 0
    static constexpr uint32_t HEADER_SIZE = 20;
    static constexpr uint8_t GENERATION = 20;
    // Member type: any of the types 2, 8, 258 and 259 (written as 2).
    static constexpr uint32_t TYPE_ANY_OF_FOUR = 0x20001;

    // Member type 0 accepts any file type on reading.
    explicit CVXFile(uint32_t dwType = 0) : m_dwTypeFichier(dwType) {}
    CVXFile(uint32_t dwType, IXStream* pStream) : CXFile(pStream), m_dwTypeFichier(dwType) {}
    ~CVXFile() override = default;

    // The plain forms of CXFile stay reachable: they open without the
    // header step.
    using CXFile::bOpen;
    using CXFile::bReopen;

    // CXFile::bOpen, then the header: written (with this format) when the
    // open created or truncated the file (creation 576, or 64 when the file
    // was made) or when bNewHeader is not 0, read and checked otherwise. A
    // failed header step closes the file. The position is left after the
    // header.
    bool bOpen(const wchar_t* pszName, eFORMAT eFormat, IXStream::eACCESS eAccess, IXStream::eSHARE eShare,
               IXStream::eCREATE eCreate, IXStream::eFLAG eFlag);
    bool bOpenEx(const wchar_t* pszName, eFORMAT eFormat, IXStream::eACCESS eAccess, IXStream::eSHARE eShare,
                 IXStream::eCREATE eCreate, IXStream::eFLAG eFlag, int bNewHeader);
    // CXFile::bReopen, then the header step.
    bool bReopen(eFORMAT eFormat, IXStream::eACCESS eAccess, IXStream::eSHARE eShare, IXStream::eCREATE eCreate,
                 IXStream::eFLAG eFlag);

    // Reads the header at *poOffset into the members and checks it: the
    // signature (28555), the type (28259: member 0 takes the file's type,
    // TYPE_ANY_OF_FOUR takes 2, 8, 258 or 259, any other must be equal),
    // the header size of at least 20 (28011). *poOffset moves past the
    // header, a larger one skipped whole.
    virtual bool bReadHeader(int64_t* poOffset);
    // bWriteHeaderEx with a header of its own.
    virtual bool bWriteHeader(int64_t* poOffset);
    // Sets the members as written (size 20, TYPE_ANY_OF_FOUR as 2,
    // generation 20, the current product code, reserved words 0), copies
    // them into *pHeader and writes it at *poOffset (28009 when fewer than
    // 20 bytes go out); *poOffset moves past it.
    virtual bool bWriteHeaderEx(int64_t* poOffset, _stENTETE_FICHIER_QUILAN* pHeader);

    uint32_t dwGetTypeFichier() const { return m_dwTypeFichier; }
    uint8_t byGetCodeProduit() const { return m_byCodeProduit; }
    uint8_t byGetGeneration() const { return m_byGeneration; }
    uint32_t dwGetTailleEntete() const { return m_dwTailleEntete; }
    uint16_t wGetFormat() const { return m_wFormat; }

    // Project files: the types 1, 257, 4097 and 0x10001.
    static bool s_bIsProjet(uint32_t dwType);
    // The file types the runtime knows.
    static bool bIdReconnu(uint32_t dwType);
    // The product name of a product code ("Quilan" for unknown codes).
    static const wchar_t* s_pszVerNomProduit(uint8_t byCode);
    // The product code at offset 15 of an existing file (signature not
    // compared); 0 when the file is missing or shorter than 20 bytes.
    static uint8_t byGetCodeProduit(const wchar_t* pszName);
    // The file type of a file with the signature, 0 without it or when
    // fewer than 20 bytes can be read. With a name, the given stream is
    // first opened on it (read, no lock), 0xFFFFFFFF when that fails; the
    // stream is left open for the caller. Without a name it must be open.
    static uint32_t dwIdFichierInconnu(IXStream* pStream, const wchar_t* pszName);
    // The same on a disk stream of its own.
    static uint32_t dwIdFichierInconnu(const wchar_t* pszName);

    // The product code written into new headers; this library never sets it.
    static uint8_t ms_byCodeProduitCourant;

protected:
    // The header step after an open; closes the file when it fails.
    bool _bHeaderStep(bool bWrite, eFORMAT eFormat);
    // Raises a header error (see the class comment): the resource message
    // nId with its arguments, counted so that the message never reads one
    // that was not passed; the debug text already formatted.
    template <class... Args>
    void _RaiseError(const wchar_t* pszDebug, unsigned nId, Args... args)
    {
        CallWithCountedArguments([&](va_list* pList, int n) { _RaiseErrorList(pszDebug, nId, pList, n); }, args...);
    }
    // The same with the list of nArgs arguments.
    void _RaiseErrorList(const wchar_t* pszDebug, unsigned nId, va_list* pArgs, int nArgs);

    uint32_t m_dwTypeFichier;
    uint8_t m_byCodeProduit = 0;
    uint8_t m_byGeneration = 0;
    uint16_t m_wReserve1 = 0;
    uint32_t m_dwTailleEntete = 0;
    uint16_t m_wFormat = 0;
    uint16_t m_wReserve2 = 0;
};
