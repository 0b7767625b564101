#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "common/system/counted_arguments.h"
#include "common/system/format_message.h"
#include "common/system/vx_unknown.h"
#include "common/text/tableau.h"

class CTString;
struct _stMyModuleInfo;

// The host object of an EIT_EXCEPTIONDOTNET item: a counted object of the
// host whose second virtual operation takes a reference and whose third
// drops one. Only those two slots are called.
class IXErrorHostObject
{
public:
    virtual void* _vSlot0() = 0;
    virtual uint32_t vAddRef() = 0;
    virtual uint32_t vRelease() = 0;

protected:
    ~IXErrorHostObject() = default;
};

// The error object of the whole system. Operations return non-zero on
// success and describe a failure in a CXError: a level (1 = no error), a user
// error code with its message from the module's resource texts through the
// module's error table, a debug message, a system error code and text, the
// module's name and version, a detail id, typed info items, the virtual
// machine's context and owned sub-errors. Texts are malloc blocks, lines
// joined by "\r\n"; every text getter answers "" rather than null.
//
// The functions that take a message's arguments after their own are
// templates that count them and pass the count down to the formatter with
// the list (counted_arguments.h), so that a message text taking more inserts
// than its caller gave is written with the missing ones empty instead of
// reading past the list. The va_list forms take the count too; without it
// (kFormatArgsUnknown) the caller vouches that the list holds what the text
// reads.
//
// The host receives it (INAError::pclGetXError): the member order and the
// virtual slots are shared with it and pinned below. An object belongs to
// one thread at a time; only reference counts change atomically.
class CXError : public CVXUnknown
{
public:
    // Levels: 1 no error; 2 (warning rows of the table); 3 error; and the
    // host's 0x10001 to 0x10006, 0x20001, 0x40000004, 0x40000008.
    enum eERRORLEVEL : int32_t
    {
        EL_NOERROR = 1,
        EL_WARNING = 2,
        EL_ERROR = 3,
    };

    // Info item types. 0, 34, 35 and above 39 are never stored.
    enum eERRORINFOTYPE : int32_t
    {
        EIT_NONE = 0,
        EIT_SRCFILE = 1,
        EIT_DSTFILE = 2,
        EIT_USERNAME = 3,
        EIT_HELPFILE = 4,
        EIT_PATHVXD = 5,
        EIT_LOGICALTABLENAME = 6,
        EIT_ITEMNAME = 7,
        EIT_PATHFIC = 8,
        EIT_PATHNDX = 9,
        EIT_PATHMMO = 10,
        EIT_LINKNAME = 11,
        EIT_RECNUM = 12,             // 64-bit number
        EIT_ODBCCODE = 13,
        EIT_ODBCDESCRIPTION = 14,
        EIT_BASECODE = 15,           // 32-bit number
        EIT_NATIVECODE = 16,         // 32-bit number
        EIT_ADOCODE = 17,            // 32-bit number
        EIT_BASEMESSAGE = 18,
        EIT_NATIVEMESSAGE = 19,
        EIT_ADOMESSAGE = 20,
        EIT_DATAACCESS = 21,         // counted CVXUnknown, one reference held
        EIT_INFOCLIENT = 22,
        EIT_INFOSERVEUR = 23,
        EIT_PILEZL = 24,
        EIT_DATEHEURE = 25,
        EIT_LOCKINFO = 26,
        EIT_CORRIGE_ETAT = 27,
        EIT_INFOCS = 28,
        EIT_POINTER = 29,            // plain pointer, not owned, never dumped
        EIT_XINFO = 30,              // 32-bit bit set
        EIT_COMPOSANT = 31,
        EIT_SERVEURCS = 32,
        EIT_PILEC = 33,
        EIT_HLOCKTIME = 36,          // 64-bit number
        EIT_HCNXID = 37,             // 32-bit number
        EIT_EXCEPTIONDOTNET = 38,    // counted IXErrorHostObject
        EIT_POSITION_ERREUR = 39,
        EIT_LAST = 39,
    };

    // Sections of the dump, in the order they are written, and two
    // modifiers.
    enum eXERROR_INFO : uint32_t
    {
        XEI_MODULE = 0x1,
        XEI_VMCONTEXT = 0x2,
        XEI_LEVEL = 0x4,
        XEI_USERCODE = 0x8,
        XEI_USERCODE55 = 0x10,
        XEI_SYSTEMCODE = 0x20,
        XEI_SYSTEMMESSAGE = 0x40,
        XEI_USERMESSAGE = 0x80,
        XEI_DEBUGMESSAGE = 0x100,
        XEI_INFO = 0x200,
        XEI_DETAILID = 0x400,
        XEI_SUBERROR = 0x800,
        XEI_ALL = 0xFFF,
        XEI_NOUSERMESSAGECAPTION = 0x40000000,  // the user message without its caption
        XEI_NOEMPTY = 0x80000000,               // empty sections left out
    };

    // One info item: the type and an 8-byte value whose meaning follows the
    // type (owned text, number, counted object or plain pointer).
    struct _stERRORINFO
    {
        eERRORINFOTYPE eType;
        union {
            wchar_t* psz;
            int64_t ll;
            uint32_t dw;
            CVXUnknown* pclUnknown;
            IXErrorHostObject* piHost;
            const void* p;
        } uValue;
    };
    static_assert(sizeof(_stERRORINFO) == 16);

    // Constructors; the module id comes from the descriptor unless said.
    explicit CXError(const _stMyModuleInfo* info);
    // SetUserErrorList.
    template <class... Args>
    CXError(const _stMyModuleInfo* info, unsigned int nCode, Args... args) : CXError(info)
    {
        SetUserError(info, nCode, args...);
    }
    CXError(const _stMyModuleInfo* info, unsigned int nCode, va_list* pArgs, int nArgs = kFormatArgsUnknown);
    // SetUserErrorList, then AddDebugMessageNoFormat(pszDebug).
    template <class... Args>
    CXError(const _stMyModuleInfo* info, const wchar_t* pszDebug, unsigned int nCode, Args... args) : CXError(info)
    {
        SetUserError(info, nCode, args...);
        AddDebugMessageNoFormat(pszDebug);
    }
    CXError(const _stMyModuleInfo* info, const wchar_t* pszDebug, unsigned int nCode, va_list* pArgs,
            int nArgs = kFormatArgsUnknown);
    // LightCopy(src) when bLight, else a full copy; the third form takes the
    // module id given.
    CXError(const _stMyModuleInfo* info, CXError* pSrc, int bLight);
    CXError(const _stMyModuleInfo* info, CXError& src, int bLight);
    CXError(unsigned int nModuleId, CXError* pSrc, int bLight);
    CXError(const _stMyModuleInfo* info, const CXError& src);
    // Module id 0, then a full copy (so data-access items are left out).
    CXError(const CXError& src);
    CXError& operator=(const CXError&) = delete;

    // Virtual slots, in the host's order after those of CVXUnknown.
    ~CXError() override;
    // *p = a malloc copy of s (null for a null s or when memory fails).
    virtual wchar_t* __vpszAllocString(wchar_t** p, const wchar_t* s);
    // *p becomes a copy of s (nothing when *p is s; null s frees); s may lie
    // inside *p. On failure *p is freed and null.
    virtual wchar_t* __vpszReallocString(wchar_t** p, const wchar_t* s);
    // *p resized to n characters and a terminator; on failure freed and null.
    virtual wchar_t* __vpszReallocString(wchar_t** p, size_t n);
    // Appends s (allocating when *p is null); null on failure, *p unchanged.
    virtual wchar_t* __vpszConcatString(wchar_t** p, const wchar_t* s);
    virtual void __vDeleteString(wchar_t** p);
    virtual void __AddSubError(CXError* pSrc, int bLight, int bNoUserMessage);
    virtual void __DeleteAllSubError();
    virtual void vCopy(const CXError* pSrc);

    // Setting the error from the module's table.
    // RAZ, then ChangeUserErrorList.
    template <class... Args>
    void SetUserError(const _stMyModuleInfo* info, unsigned int nCode, Args... args)
    {
        CallWithCountedArguments([&](va_list* pList, int n) { SetUserErrorList(info, nCode, pList, n); }, args...);
    }
    void SetUserErrorList(const _stMyModuleInfo* info, unsigned int nCode, va_list* pArgs,
                          int nArgs = kFormatArgsUnknown);
    // Module name and version of the descriptor; the first table row of the
    // code gives the user code, its message formatted with the arguments put
    // first, the detail id and the level. A code missing from the table:
    // level 3, user code left, and a debug line naming the code.
    template <class... Args>
    void ChangeUserError(const _stMyModuleInfo* info, unsigned int nCode, Args... args)
    {
        CallWithCountedArguments([&](va_list* pList, int n) { ChangeUserErrorList(info, nCode, pList, n); }, args...);
    }
    void ChangeUserErrorList(const _stMyModuleInfo* info, unsigned int nCode, va_list* pArgs,
                             int nArgs = kFormatArgsUnknown);
    // The same with the given text in place of the table's message.
    void SetUserErrorMessage(const _stMyModuleInfo* info, unsigned int nCode, const wchar_t* pszText);
    void ChangeUserErrorMessage(const _stMyModuleInfo* info, unsigned int nCode, const wchar_t* pszText);
    // Message id of the first row of the code; 0 when none.
    static unsigned int nGetRessourceIdFromUserErrorCode(const _stMyModuleInfo* info, unsigned int nCode);
    // A result code of the runtime-value operations: 0 clears; 1, 101, 104,
    // 105, 106, 107 become user errors 65, 61, 66, 60, 64, 63 with (a, b) as
    // arguments; 100 is out of memory; anything else changes nothing.
    void SetAnyError(const _stMyModuleInfo* info, int nResult, int a, int b);
    // Out of memory: message 25193 of this module, system error 12, level 3.
    void SetErrorNoMemory();

    // Level; setting level 1 clears the whole error (RAZ).
    void SetErrorLevel(eERRORLEVEL eLevel);
    void SetErrorLevel(int nLevel) { SetErrorLevel(static_cast<eERRORLEVEL>(nLevel)); }
    eERRORLEVEL eGetErrorLevel() const { return m_eLevel; }
    bool bIsError() const { return m_eLevel != EL_NOERROR; }
    // Back to no error: every text, id, item and sub-error freed; the module
    // id kept.
    void RAZ();
    void RAZUserMessage();

    void SetUserErrorCode(unsigned int nCode) { m_nUserErrorCode = nCode; }
    unsigned int nGetUserErrorCode() const { return m_nUserErrorCode; }
    void SetUserErrorCode55(int nCode) { m_nUserErrorCode55 = nCode; }
    int nGetUserErrorCode55() const { return m_nUserErrorCode55; }
    void SetDetailId(int nId) { m_nDetailId = nId; }
    int nGetDetailId() const { return m_nDetailId; }
    // The syntax is kept only when the name was.
    void SetFunctionName(const wchar_t* pszName, unsigned char nSyntax);
    const wchar_t* pszGetFunctionName() const { return _psz(m_pszFunctionName); }
    unsigned char nGetFunctionSyntax() const { return m_nFunctionSyntax; }
    unsigned int nGetModuleId() const { return m_nModuleId; }

    // Module identity: with bForce the descriptor's name and version replace
    // the held ones; without, they are taken only when no name is held.
    void InitModInfo(const _stMyModuleInfo* info, int bForce);
    void InitModName(const wchar_t* pszName);
    void InitModVersion(const wchar_t* pszVersion);
    void __InitInternalModInfo(unsigned int nModuleId) { m_nModuleId = nModuleId; }
    void __InitConstructor(unsigned int nModuleId);

    // Context of the running treatment.
    void SetVMContext(const wchar_t* pszCaption, const wchar_t* pszObject, unsigned short nLine,
                      unsigned short nThread);
    void SetVMContext(const wchar_t* pszCaption, unsigned short nLine, unsigned short nThread);
    void SetVMContext(const wchar_t* pszObject);
    const wchar_t* pszGetTraitmentCaption() const { return _psz(m_pszVMCaption); }
    const wchar_t* pszGetObjectName() const { return _psz(m_pszVMObject); }
    unsigned short wGetTraitmentLine() const { return m_wVMLine; }
    unsigned short wGetTraitmentThread() const { return m_wVMThread; }

    // User messages.
    // A new line, even for an empty text; a null text adds nothing.
    void AddUserMessage(const wchar_t* pszText);
    // The same; a null or empty text is ignored.
    void AddUserMessageNoFormat(const wchar_t* pszText);
    // Put in front: text + "\r\n" + the held message.
    void AddUserMessageFirst(const wchar_t* pszText);
    // A resource message formatted with the arguments, as a new line or put
    // in front; its id is recorded in the message id list. A text that does
    // not load, or formats to nothing, leaves a debug line with the id.
    template <class... Args>
    void AddUserMessage(const _stMyModuleInfo* info, unsigned int nId, Args... args)
    {
        CallWithCountedArguments([&](va_list* pList, int n) { AddUserMessageList(info, nId, pList, n); }, args...);
    }
    void AddUserMessageList(const _stMyModuleInfo* info, unsigned int nId, va_list* pArgs,
                            int nArgs = kFormatArgsUnknown);
    template <class... Args>
    void AddUserMessageFirst(const _stMyModuleInfo* info, unsigned int nId, Args... args)
    {
        CallWithCountedArguments([&](va_list* pList, int n) { AddUserMessageListFirst(info, nId, pList, n); },
                                 args...);
    }
    void AddUserMessageListFirst(const _stMyModuleInfo* info, unsigned int nId, va_list* pArgs,
                                 int nArgs = kFormatArgsUnknown);
    int nNumErrorId() const { return m_tabMessageId.nGetNbElement(); }
    // i below nNumErrorId(); 0 outside.
    unsigned int nGetErrorId(int i) const;

    // Debug messages.
    // A new line; a null or empty text is ignored.
    void AddDebugMessageNoFormat(const wchar_t* pszText);
    // Put in front; a null or empty text is ignored.
    void AddDebugMessageFirst(const wchar_t* pszText);
    // Formatted as CTString::FormatV does, then as AddDebugMessageNoFormat.
    void AddDebugMessagePrintf(const wchar_t* pszFormat, ...);
    // A resource message formatted with the arguments as a new line; id
    // 0xFFFFFFFF adds nothing.
    template <class... Args>
    void AddDebugMessage(const _stMyModuleInfo* info, unsigned int nId, Args... args)
    {
        CallWithCountedArguments([&](va_list* pList, int n) { AddDebugMessageList(info, nId, pList, n); }, args...);
    }
    void AddDebugMessageList(const _stMyModuleInfo* info, unsigned int nId, va_list* pArgs,
                             int nArgs = kFormatArgsUnknown);

    const wchar_t* pszGetUserMessage() const { return _psz(m_pszUserMessage); }
    const wchar_t* pszGetDebugMessage() const { return _psz(m_pszDebugMessage); }
    const wchar_t* pszGetSystemErrorMessage() const { return _psz(m_pszSystemErrorMessage); }
    const wchar_t* pszGetModName() const { return _psz(m_pszModName); }
    const wchar_t* pszGetModVersion() const { return _psz(m_pszModVersion); }

    // System error.
    // Stores the code; its text is strerror of the code (the lock-conflict
    // codes 0x80000000 to 0x80000002 read as 11); code 0 frees the text.
    // The arguments are not used.
    void __SetSystemError(unsigned int nCode, va_list* pArgs);
    void SetSystemErrorParam(unsigned int nCode, ...);
    void SetSystemError(unsigned int nCode, const wchar_t* pszText);
    void SetSystemErrorMessage(unsigned int nCode, const wchar_t* pszText);
    void SetSystemErrorMessage(const wchar_t* pszText);
    void SetSystemErrorMessagePrintf(unsigned int nCode, const wchar_t* pszFormat, ...);
    void SetSystemErrorMessagePrintf(const wchar_t* pszFormat, ...);
    // Code 0; the text from UTF-8.
    void SetSystemErrorMessageA(const char* pszText);
    void SetSystemErrorForGetHostBy(unsigned int nCode);
    // Code 0; the resource message formatted, or the debug line telling that
    // it did not load or formatted to nothing.
    template <class... Args>
    void SetSystemErrorMessage(const _stMyModuleInfo* info, unsigned int nId, Args... args)
    {
        CallWithCountedArguments([&](va_list* pList, int n) { __SetSystemErrorMessageList(info, nId, pList, n); },
                                 args...);
    }
    unsigned int dwGetSystemErrorCode() const { return m_dwSystemErrorCode; }

    // Info items: at most one of each type.
    // Texts are copied, numbers read from what value points to, objects
    // referenced; an item of the same type is replaced. Types 0, 34, 35,
    // above 39 and a null value are ignored.
    void AddInfo(eERRORINFOTYPE eType, const void* pValue);
    // Item i: texts, objects and pointers in *ppValue; 64-bit numbers into
    // the 64-bit variable that *ppValue points to; 32-bit numbers into the
    // first 4 bytes of *ppValue itself. Type 0 when i is out of range.
    void GetInfo(int i, eERRORINFOTYPE* peType, const void** ppValue) const;
    bool bGetInfo(eERRORINFOTYPE eType, const void** ppValue) const;
    bool bHasInfo(eERRORINFOTYPE eType) const;
    bool __bGetInfoIndice(eERRORINFOTYPE eType, int* pnIndex) const;
    void DeleteInfo(eERRORINFOTYPE eType);
    int nNumInfo() const { return m_tabInfo.nGetNbElement(); }
    // Item 30 present with any of the bits set.
    bool __bGetXInfo(uint32_t dwBits) const;
    void __SetXInfo(uint32_t dwBits, int bSet);

    // Sub-errors, owned.
    void AddSubError(CXError* pSrc) { __AddSubError(pSrc, 0, 0); }
    void AddSubErrorLight(CXError* pSrc) { __AddSubError(pSrc, 1, 0); }
    void AddSubErrorNoUserMessage(CXError* pSrc) { __AddSubError(pSrc, 0, 1); }
    void AddSubErrorLightNoUserMessage(CXError* pSrc) { __AddSubError(pSrc, 1, 1); }
    void DeleteAllSubError() { __DeleteAllSubError(); }
    int nGetNbSubError() const { return m_ptabSubError ? m_ptabSubError->nGetNbElement() : 0; }
    // Null outside 0 .. count - 1.
    CXError* pclGetSubError(int i) const;

    // Copies. A full copy (nothing when src is this object); data-access
    // items of another module id are left out, src's sub-errors go after the
    // held ones.
    void Copy(const CXError& src) { Copy(&src); }
    void Copy(const CXError* pSrc);
    // Moves src's content here; src is left with no error.
    void LightCopy(CXError* pSrc);

    // Dump as readable text (sections chosen by eXERROR_INFO bits).
    void StringDump(CTString& out, eXERROR_INFO eFlags) const;
    CTString StringDump(eXERROR_INFO eFlags) const;
    // out = the item's dump line; a text item with an empty value writes
    // nothing unless bForce; types without a line write nothing.
    void __DumpInfo(eERRORINFOTYPE eType, const void* pValue, CTString& out, int bForce) const;
    // Appends the item's line (bForce set).
    void DumpInfo(eERRORINFOTYPE eType, const void* pValue, CTString* pOut) const;
    void TraceDump() const {}

private:
    friend struct CXErrorLayout;

    static const wchar_t* _psz(const wchar_t* p) { return p ? p : L""; }
    void __Copy(const CXError* pSrc);
    void __RAZALL();
    void __SetSystemErrorMessageList(const _stMyModuleInfo* info, unsigned int nId, va_list* pArgs, int nArgs);
    // Resource message into the user message (appended or put first).
    void __AddUserMessageList(const _stMyModuleInfo* info, unsigned int nId, va_list* pArgs, int nArgs, bool bFirst);
    // out = the resource text formatted with the nArgs arguments of the
    // list; false, with out the debug line telling why, when it did not load
    // or formatted to nothing. The text is loaded before it is formatted, so
    // that the two cases can be told apart.
    static bool __bFormatResource(const _stMyModuleInfo* info, unsigned int nId, va_list* pArgs, int nArgs,
                                  CTString& out);
    static const void* __pInfoValue(const _stERRORINFO& item);
    // *p = text + "\r\n" + *p (text alone when *p is null).
    void __AddFirst(wchar_t** p, const wchar_t* pszText);
    // Appends a line: "\r\n" first when *p is not empty.
    void __AddLine(wchar_t** p, const wchar_t* pszText);
    void __FreeInfo();
    void __FreeInfoItem(_stERRORINFO& item);
    // Gives a held item of the same type the new value: texts copied,
    // numbers read, objects referenced (the old ones freed or released);
    // false when a text could not be copied (the item then unchanged).
    bool __bSetInfoValue(_stERRORINFO& item, const void* pValue);

    eERRORLEVEL m_eLevel;
    uint32_t m_nUserErrorCode;
    wchar_t* m_pszUserMessage;
    wchar_t* m_pszDebugMessage;
    wchar_t* m_pszFunctionName;
    wchar_t* m_pszModName;
    wchar_t* m_pszModVersion;
    unsigned char m_nFunctionSyntax;
    int32_t m_nDetailId;
    CTTableau<unsigned int> m_tabMessageId;
    CTTableau<_stERRORINFO> m_tabInfo;
    uint32_t m_dwSystemErrorCode;
    wchar_t* m_pszSystemErrorMessage;
    wchar_t* m_pszVMCaption;
    uint16_t m_wVMLine;
    uint16_t m_wVMThread;
    CTTableau<CXError*>* m_ptabSubError;
    wchar_t* m_pszVMObject;
    uint32_t m_nModuleId;
    int32_t m_nUserErrorCode55;
};

inline CXError::eXERROR_INFO operator|(CXError::eXERROR_INFO a, CXError::eXERROR_INFO b)
{
    return static_cast<CXError::eXERROR_INFO>(static_cast<uint32_t>(a) | static_cast<uint32_t>(b));
}

// The layout the host reads (g++ on x86-64: the level sits in the tail of
// CVXUnknown, after its 32-bit count).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
struct CXErrorLayout
{
    static_assert(sizeof(CTTableau<unsigned int>) == 40);
    static_assert(offsetof(CXError, m_eLevel) == 12);
    static_assert(offsetof(CXError, m_nUserErrorCode) == 16);
    static_assert(offsetof(CXError, m_pszUserMessage) == 24);
    static_assert(offsetof(CXError, m_pszDebugMessage) == 32);
    static_assert(offsetof(CXError, m_pszFunctionName) == 40);
    static_assert(offsetof(CXError, m_pszModName) == 48);
    static_assert(offsetof(CXError, m_pszModVersion) == 56);
    static_assert(offsetof(CXError, m_nFunctionSyntax) == 64);
    static_assert(offsetof(CXError, m_nDetailId) == 68);
    static_assert(offsetof(CXError, m_tabMessageId) == 72);
    static_assert(offsetof(CXError, m_tabInfo) == 112);
    static_assert(offsetof(CXError, m_dwSystemErrorCode) == 152);
    static_assert(offsetof(CXError, m_pszSystemErrorMessage) == 160);
    static_assert(offsetof(CXError, m_pszVMCaption) == 168);
    static_assert(offsetof(CXError, m_wVMLine) == 176);
    static_assert(offsetof(CXError, m_wVMThread) == 178);
    static_assert(offsetof(CXError, m_ptabSubError) == 184);
    static_assert(offsetof(CXError, m_pszVMObject) == 192);
    static_assert(offsetof(CXError, m_nModuleId) == 200);
    static_assert(offsetof(CXError, m_nUserErrorCode55) == 204);
    static_assert(sizeof(CXError) == 208);
};
#pragma GCC diagnostic pop
