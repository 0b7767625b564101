#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "common/system/counted_arguments.h"
#include "common/system/module_info.h"
#include "common/system/x_error_module.h"
#include "common/text/ct_string.h"
#include "native/driver/error_sites.h"
#include "native/driver/na_error.h"

// The error object of the native-access layer. Every operation of the driver
// that can fail fills one and returns 0; the host reads it as INAError.
//
// It holds one main error (a CXError of this module); later errors are
// chained under it as sub-errors, and the first error recorded fixes the
// error type (-1 until then) that the host reacts to. The "most recent
// record" is the last sub-error, or the main error while there is none.
// With m_bNoDetail set (an object used for an internal query whose failure
// is not reported) no site line, no names from SetAnyError and no connection
// details are added.
//
// One plain reference count, changed under the driver-wide lock; the holder
// that drops it to 0 destroys the object. No lock of its own.
//
// The driver's own error object is shared by host threads (SetPerThread):
// it then holds no error itself, and everything recorded or read through it,
// the host's INAError slots included, goes to the calling thread's record
// (thread_error_records.h). What it hands out (texts, the CXError) is the
// record's: valid until that thread's next call of the driver.
//
// The functions that take a message's arguments after the fixed ones are
// templates that count them: the count travels with the list down to the
// formatter, which writes an insert the caller did not give as nothing
// rather than read past the list (see CXError).
class CNAError : public INAError
{
public:
    CNAError() = default;
    CNAError(const CNAError&) = delete;
    CNAError& operator=(const CNAError&) = delete;

    // INAError, slots 0-16.
    int nGetVersion() const override { return 1; }
    int nGetCompatSince() const override { return 1; }
    int nGetNAVersion() const override { return -1; }
    int nGetNACompatSince() const override { return -1; }
    void NAVersion_EmptySlot_3() override {}
    // The whole dump, sub-errors included and empty sections left out; the
    // text stays valid until the next call.
    const wchar_t* pszGetError() override;
    // 0 at level 1 (no error), else the main error's user error code.
    unsigned dwGetErrorId() const override;
    eNA_ERRORTYPE eGetErrorType() const override { return _rOwn().m_eErrorType; }
    // Information 6 and 7 of the main error; null when absent.
    const wchar_t* pszGetLogicalTableName() const override;
    const wchar_t* pszGetItemName() const override;
    CXError* pclGetXError() const override { return const_cast<_CXErrorModule32*>(&_rOwn().m_clError); }
    eNAERRORLEVEL eGetErrorLevel() const override;
    void EmptySlot52() override {}
    void EmptySlot53() override {}
    void EmptySlot54() override {}
    void EmptySlot55() override {}
    void EmptySlot56() override {}

    // Slots 17-18. A shared object's end frees its threads' records.
    virtual ~CNAError();
    // Slot 19: back to no error (type -1), the dump text emptied. Every entry
    // of the driver and of its SQL functions calls it first.
    virtual void Reset();

    // Counting. A release at 0 does nothing and answers 0.
    void AddRef() { ++m_dwRefCount; }
    unsigned nRelease();
    unsigned nGetRef() const { return m_dwRefCount; }

    void SetNoDetail(int bNoDetail) { _rOwn().m_bNoDetail = bNoDetail ? 1 : 0; }
    int bGetNoDetail() const { return _rOwn().m_bNoDetail; }

    // From now on each host thread has a record of its own behind this
    // object (see the top). Set once, before the object is handed out.
    void SetPerThread() { m_bPerThread = 1; }

    // The other's type and a copy of its main error; nothing for itself.
    void Copy(const INAError* piOther);

    // Recording. The first error fixes the type and becomes the main error
    // (with the connection's details unless m_bNoDetail); a later one is
    // added as a sub-error and leaves the type alone.
    void AddError(eNA_ERRORTYPE eType, const CXError* pclError, CNAConnectionDescription* pclConnection);
    // User error nUserCode of the module's table with its arguments, raised
    // at site nSource.nSite (the site line unless m_bNoDetail). A sub-error
    // gets no connection details.
    template <class... Args>
    void AddError(eNA_ERRORTYPE eType, int nSource, int nSite, CNAConnectionDescription* pclConnection,
                  unsigned nUserCode, Args... args)
    {
        CallWithCountedArguments(
            [&](va_list* pList, int n) { _AddErrorList(eType, nSource, nSite, pclConnection, nUserCode, pList, n); },
            args...);
    }
    // The same without arguments: a message that takes inserts gets them
    // empty.
    void AddError(eNA_ERRORTYPE eType, unsigned nUserCode, int nSource, int nSite,
                  CNAConnectionDescription* pclConnection);
    // The same as a new main error: the type is replaced and a copy of the
    // former main error, with its sub-errors, becomes the first sub-error;
    // no connection details then.
    template <class... Args>
    void AddErrorFirst(eNA_ERRORTYPE eType, int nSource, int nSite, CNAConnectionDescription* pclConnection,
                       unsigned nUserCode, Args... args)
    {
        CallWithCountedArguments(
            [&](va_list* pList, int n) {
                _AddErrorFirstList(eType, nSource, nSite, pclConnection, nUserCode, pList, n);
            },
            args...);
    }
    // The error a runtime-value operation reported as a result code (type 0
    // when first), with the table and item names. A code that gives no
    // error (0, or one the common library does not map) changes nothing.
    void SetAnyError(int nCode, int nArg1, int nArg2, int nSource, int nSite, CNAConnectionDescription* pclConnection,
                     const wchar_t* pszTable, const wchar_t* pszItem);
    // A database error: user error nUserCode with the connection's database
    // name and the native code, the native message as a user message and as
    // the system message, the native code as information 15, then the names.
    void _SetDataBaseError(eNA_ERRORTYPE eType, CNAConnectionDescription* pclConnection, unsigned nUserCode,
                           unsigned nNativeCode, const wchar_t* pszNativeMessage, const wchar_t* pszTable,
                           const wchar_t* pszItem);
    // A sub-error of the main error, unless its level is 1; the type is not
    // touched.
    void AddSubError(const CXError* pclError);
    // The classification of the error recorded (the main error is kept).
    void SetErrorType(eNA_ERRORTYPE eType) { _rOwn().m_eErrorType = eType; }
    void SetInfoNames(const wchar_t* pszTable, const wchar_t* pszItem)
    {
        g_SetInfoNames(&_rOwn().m_clError, pszTable, pszItem);
    }
    // Levels 1 to 3 go to the main error; any other value is ignored.
    void SetErrorLevel(eNAERRORLEVEL eLevel);
    // The dump of pszGetError, without touching the kept text.
    CTString StringDump() const;

    // On the most recent record.
    void SetDataBaseErrorMessage(const wchar_t* pszMessage);
    void SetDataBaseErrorCode(unsigned dwCode);
    unsigned dwGetDataBaseErrorCode() const;
    unsigned dwGetADOErrorCode() const;
    void AddDebugInfo(int nSource, int nSite);
    void AddDebugMessageNoFormat(const wchar_t* pszText);
    // Put in front of the debug texts; a null or empty text is ignored.
    void AddDebugMessageNoFormatFirst(const wchar_t* pszText);
    template <class... Args>
    void AddDebugMessage(unsigned nResId, Args... args)
    {
        _pclRecent()->AddDebugMessage(&gstMyModuleInfo32, nResId, args...);
    }
    void AddUserMessageNoFormat(const wchar_t* pszText);
    template <class... Args>
    void AddUserMessage(unsigned nResId, Args... args)
    {
        _pclRecent()->AddUserMessage(&gstMyModuleInfo32, nResId, args...);
    }
    template <class... Args>
    void AddUserMessageFirst(unsigned nResId, Args... args)
    {
        _pclRecent()->AddUserMessageFirst(&gstMyModuleInfo32, nResId, args...);
    }
    void SetSystemErrorCode(unsigned dwCode);
    const wchar_t* pszGetSystemErrorMessage() const;
    unsigned dwGetSystemErrorCode() const;
    unsigned nGetUserErrorCode() const;

    // On any error of this module. Information 6 = the table name, then 7 =
    // the item name: nothing at all without a table name, no item without
    // an item name (null or empty).
    static void g_SetInfoNames(CXError* pclError, const wchar_t* pszTable, const wchar_t* pszItem);
    // The debug line of site nSource.nSite.
    static void g_AddDebugInfo(CXError* pclError, int nSource, int nSite);
    // The connection's native details (client and server); nothing without
    // a connection.
    static void g_AddInfoNative(_CXErrorModule32* pclError, CNAConnectionDescription* pclConnection);

    // Raising an error at a site, as every source of the driver does: the
    // user error with its arguments, the table and item names when known,
    // the code as information 16, the site's debug line; then the error is
    // recorded in pclTarget with AddError(site type, error, connection), or
    // dropped without a target. g_SetSiteError does the first four steps
    // alone, for a site that adds more before recording.
    template <class... Args>
    static void g_RaiseSiteError(CNAError* pclTarget, const stNAErrorSite& site,
                                 CNAConnectionDescription* pclConnection, const wchar_t* pszTable,
                                 const wchar_t* pszItem, Args... args)
    {
        CallWithCountedArguments(
            [&](va_list* pList, int n) {
                _g_RaiseSiteErrorList(pclTarget, site, pclConnection, pszTable, pszItem, pList, n);
            },
            args...);
    }
    template <class... Args>
    static void g_SetSiteError(CXError* pclError, const stNAErrorSite& site, const wchar_t* pszTable,
                               const wchar_t* pszItem, Args... args)
    {
        CallWithCountedArguments(
            [&](va_list* pList, int n) { g_SetSiteErrorList(pclError, site, pszTable, pszItem, pList, n); }, args...);
    }
    // nArgs: the arguments in the list (kFormatArgsUnknown: the message's
    // text tells).
    static void g_SetSiteErrorList(CXError* pclError, const stNAErrorSite& site, const wchar_t* pszTable,
                                   const wchar_t* pszItem, va_list* pArgs, int nArgs = kFormatArgsUnknown);

private:
    friend struct CNAErrorLayout;

    // The calling thread's record of a shared object; null when this object
    // is not shared, or no record can be had (it then holds the error
    // itself). Every operation that reaches the fields goes there first.
    CNAError* _pclForward() const { return m_bPerThread ? _pclThreadRecord() : nullptr; }
    CNAError* _pclThreadRecord() const;
    CNAError& _rOwn()
    {
        CNAError* pclRecord = _pclForward();
        return pclRecord != nullptr ? *pclRecord : *this;
    }
    const CNAError& _rOwn() const { return const_cast<CNAError*>(this)->_rOwn(); }

    bool _bHasError() const { return m_eErrorType != NA_ERR_NONE; }
    // The last sub-error of the main error, or the main error.
    CXError* _pclRecent();
    const CXError* _pclRecent() const;
    // The user error raised at a site, the site line unless m_bNoDetail.
    void _SetUserErrorAtSite(CXError& error, int nSource, int nSite, unsigned nUserCode, va_list* pArgs,
                             int nArgs) const;
    void _AddErrorList(eNA_ERRORTYPE eType, int nSource, int nSite, CNAConnectionDescription* pclConnection,
                       unsigned nUserCode, va_list* pArgs, int nArgs);
    void _AddErrorFirstList(eNA_ERRORTYPE eType, int nSource, int nSite, CNAConnectionDescription* pclConnection,
                            unsigned nUserCode, va_list* pArgs, int nArgs);
    static void _g_RaiseSiteErrorList(CNAError* pclTarget, const stNAErrorSite& site,
                                      CNAConnectionDescription* pclConnection, const wchar_t* pszTable,
                                      const wchar_t* pszItem, va_list* pArgs, int nArgs);

    uint32_t m_dwRefCount = 0;
    eNA_ERRORTYPE m_eErrorType = NA_ERR_NONE;
    _CXErrorModule32 m_clError;
    CTString m_csDump;
    uint32_t m_bNoDetail = 0;
    uint32_t m_bPerThread = 0;
};

// The fields in their order.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
struct CNAErrorLayout
{
    static_assert(offsetof(CNAError, m_dwRefCount) == 8);
    static_assert(offsetof(CNAError, m_eErrorType) == 12);
    static_assert(offsetof(CNAError, m_clError) == 16);
    static_assert(offsetof(CNAError, m_csDump) == 16 + sizeof(CXError));
    static_assert(offsetof(CNAError, m_bNoDetail) == 24 + sizeof(CXError));
    static_assert(offsetof(CNAError, m_bPerThread) == 28 + sizeof(CXError));
};
#pragma GCC diagnostic pop

// Reference hooks of the counted containers (see common/text/ref_hooks.h).
inline void REF_AddRef(CNAError* p)
{
    p->AddRef();
}
inline void REF_Release(CNAError* p)
{
    p->nRelease();
}
