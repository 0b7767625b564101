#pragma once

// The guard around every call into the client library. The call runs inside
// a try block; what it throws becomes an error of the caller, recorded at the
// call site's source and site numbers, and the call site then goes on as for
// a failed call, any value the call should have returned counting as absent.
//
// - A CTString (a stub of a function the library lacks, client_api.h): user
//   error 37 naming the function, in the caller's error object.
// - Anything else: user error 23 ("MySQL") in the caller's error object, or
//   the driver's own when the caller gave none; then the driver's fatal-error
//   hook is called with that object and the connection, and
//   CNADriver::s_bGPFCatched is set. Without an error object and without a
//   driver nothing is recorded and no hook is called.
//
// A crash inside the library is not caught: no signal handler is installed.
// Thread cancellation passes through untouched.
#include <cxxabi.h>

#include <utility>

#include "common/text/ct_string.h"
#include "native/driver/error_sites.h"

class CNAError;
class CNAConnectionDescription;

// Where a client call is made: the numbers of its errors.
struct stClientCallSite
{
    eNA_ERRORSOURCE nSource;
    int nSite;
};

// The guard's two ways of recording; the call sites use bClientCall.
// The table and item names are the error's information names (none when
// null).
void _OnClientCallStub(const stClientCallSite& site, CNAError* pclError, CNAConnectionDescription* pclConnection,
                       const CTString& csFunction, const wchar_t* pszTable = nullptr,
                       const wchar_t* pszItem = nullptr);
void _OnClientCallFailure(const stClientCallSite& site, CNAError* pclError, CNAConnectionDescription* pclConnection,
                          const wchar_t* pszTable = nullptr, const wchar_t* pszItem = nullptr);

// Runs fn() inside the guard, naming the table and item the call is made
// for in what it records: true when it returned.
template <typename Fn>
bool bClientCallNamed(const stClientCallSite& site, CNAError* pclError, CNAConnectionDescription* pclConnection,
                      const wchar_t* pszTable, const wchar_t* pszItem, Fn&& fn)
{
    try {
        std::forward<Fn>(fn)();
        return true;
    } catch (const CTString& csFunction) {
        _OnClientCallStub(site, pclError, pclConnection, csFunction, pszTable, pszItem);
    } catch (abi::__forced_unwind&) {
        throw;
    } catch (...) {
        _OnClientCallFailure(site, pclError, pclConnection, pszTable, pszItem);
    }
    return false;
}

// Runs fn() inside the guard: true when it returned, false when something
// was thrown (and recorded as above).
template <typename Fn>
bool bClientCall(const stClientCallSite& site, CNAError* pclError, CNAConnectionDescription* pclConnection, Fn&& fn)
{
    return bClientCallNamed(site, pclError, pclConnection, nullptr, nullptr, std::forward<Fn>(fn));
}

// The value fn() returns, or R{} (null, 0) when the guard caught something.
template <typename R, typename Fn>
R ClientCallValue(const stClientCallSite& site, CNAError* pclError, CNAConnectionDescription* pclConnection,
                  Fn&& fn)
{
    R result{};
    bClientCall(site, pclError, pclConnection, [&] { result = std::forward<Fn>(fn)(); });
    return result;
}
