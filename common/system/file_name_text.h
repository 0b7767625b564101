#pragma once

#include <cstddef>

// Work copies of file names for the file layer: a wide copy with slashes in
// place of backslashes, and the UTF-8 form the system receives. Short names
// stay on the stack; longer ones go to the heap and are freed with the copy.
// Neither throws: a failed allocation leaves the copy invalid (bOk false).

// The wide text with every '\\' turned into '/'. A null text gives a valid,
// empty copy.
class CSlashName
{
public:
    explicit CSlashName(const wchar_t* pszName);
    ~CSlashName();
    CSlashName(const CSlashName&) = delete;
    CSlashName& operator=(const CSlashName&) = delete;

    bool bOk() const { return m_psz != nullptr; }
    // Writable: the callers trim and cut their copy in place.
    wchar_t* psz() { return m_psz; }
    const wchar_t* psz() const { return m_psz; }
    size_t nLen() const { return m_nLen; }

private:
    static constexpr size_t kStackChars = 261;
    wchar_t m_szStack[kStackChars];
    wchar_t* m_psz = nullptr;
    size_t m_nLen = 0;
};

// The UTF-8 form of a wide name (backslashes kept as they are: the callers
// convert first). Names holding a value that is no Unicode scalar (a
// surrogate, a negative value or one above U+10FFFF) do not convert: a
// replacement character could name another file.
class CUTF8Name
{
public:
    explicit CUTF8Name(const wchar_t* pszName);
    ~CUTF8Name();
    CUTF8Name(const CUTF8Name&) = delete;
    CUTF8Name& operator=(const CUTF8Name&) = delete;

    // False for a null name, an unconvertible one (errno EILSEQ) or a
    // failed allocation (errno ENOMEM).
    bool bOk() const { return m_psz != nullptr; }
    const char* psz() const { return m_psz; }

private:
    static constexpr size_t kStackBytes = 1024;
    char m_szStack[kStackBytes];
    char* m_psz = nullptr;
};

// Decodes a UTF-8 name from the system into the wide buffer of nCapacity
// characters (terminator included). False, with nothing promised about the
// buffer, when the bytes are not well-formed UTF-8 or do not fit.
bool bUTF8NameToWide(const char* pszName, wchar_t* pszOut, size_t nCapacity);

// The wide length of a well-formed UTF-8 name; -1 when it is not well-formed.
long nUTF8NameLength(const char* pszName);
