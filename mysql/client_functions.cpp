// The client function table: each pointer starts at its stub, and the stub
// throws its function's name for the guard to report.
#include <type_traits>

#include "common/text/ct_string.h"
#include "mysql/client_api.h"

// A stub takes its function's arguments and uses none of them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define VX_MYSQL_WIDE(text) L##text
#define VX_MYSQL_DEFINE_POINTER(kind, ret, name, params) \
    ret DefaultError_##name params                       \
    {                                                    \
        throw CTString(VX_MYSQL_WIDE(#name));            \
    }                                                    \
    ret(*__##name) params = &DefaultError_##name;
VX_MYSQL_CLIENT_FUNCTIONS(VX_MYSQL_DEFINE_POINTER)
VX_MYSQL_LATER_CLIENT_FUNCTIONS(VX_MYSQL_DEFINE_POINTER)
#undef VX_MYSQL_DEFINE_POINTER
#undef VX_MYSQL_WIDE
#pragma GCC diagnostic pop

namespace {

template <auto& rpfn, auto pfnStub>
void Bind(void* pSymbol)
{
    using Pointer = std::remove_reference_t<decltype(rpfn)>;
    rpfn = pSymbol != nullptr ? reinterpret_cast<Pointer>(pSymbol) : pfnStub;
}

template <auto& rpfn, auto pfnStub>
bool bIsStub()
{
    return rpfn == pfnStub;
}

}  // namespace

#define VX_MYSQL_TABLE_ENTRY(kind, ret, name, params)                                                      \
    {#name, #kind[0] == 'R', &Bind<__##name, &DefaultError_##name>, &bIsStub<__##name, &DefaultError_##name>},
const stMySQLClientFunction gastMySQLClientFunctions[kMySQLClientFunctionCount] = {
    VX_MYSQL_CLIENT_FUNCTIONS(VX_MYSQL_TABLE_ENTRY)};
const stMySQLClientFunction gastMySQLLaterClientFunctions[kMySQLLaterClientFunctionCount] = {
    VX_MYSQL_LATER_CLIENT_FUNCTIONS(VX_MYSQL_TABLE_ENTRY)};
#undef VX_MYSQL_TABLE_ENTRY

void ResetMySQLClientFunctions()
{
    for (const stMySQLClientFunction& function : gastMySQLClientFunctions)
        function.pfnBind(nullptr);
    for (const stMySQLClientFunction& function : gastMySQLLaterClientFunctions)
        function.pfnBind(nullptr);
}
