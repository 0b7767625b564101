// The stand-in machine's conversion entry points.
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "common/text/vm_entry_points.h"
#include "tests/host/module/host_controls.h"
#include "tests/host/module/standin_vm_controls.h"
#include "tests/host/module/vm_decimal.h"
#include "tests/host/module/vm_state.h"
#include "tests/host/module/vm_value.h"

extern "C" {

STANDIN_HOST_API int nConversionDepassementExt(const void* pSrc, int nSrcType, void* pDst, unsigned short nDstType,
                                               unsigned int, const STOCAW* pOptions)
{
    const int forced = standin_vm::NoteCall(kStandinVmConversion);
    if (forced >= 100)
        return forced;
    if (pSrc == nullptr || pDst == nullptr)
        return kStandinVmErrType;
    // One value a thread, read anew by every call: its texts' buffers serve
    // the next conversion instead of being made for each one.
    thread_local standin_vm::Value value;
    unsigned char out[40] = {};
    size_t size = 0;
    int rc = standin_vm::Read(pSrc, nSrcType, pOptions, &value);
    if (rc == 0)
        rc = standin_vm::Write(value, nDstType, pOptions, out, &size);
    value.Trim();
    if (rc != 0)
        return rc;
    std::memcpy(pDst, out, size);
    return forced;
}

#ifndef STANDIN_VM_WITHOUT_FIN_CONVERSION
STANDIN_HOST_API void FinConversion(void* pDst, int nType)
{
    (void)standin_vm::NoteCall(kStandinVmFinConversion);
    if (pDst == nullptr)
        return;
    void* p;
    std::memcpy(&p, pDst, sizeof p);
    switch (nType) {
    case 16:
    case 19:
    case 28: standin_vm::ReleaseBlock(static_cast<unsigned char*>(p)); break;
    case 18:
    case 110:
        if (p != nullptr) {
            std::free(p);
            standin_vm::NoteTextFinished();
        }
        break;
    case 13: standin_vm::Factory()->vReleaseDecimal(static_cast<IDecimal*>(p)); break;
    default: return;
    }
    p = nullptr;
    std::memcpy(pDst, &p, sizeof p);
}
#endif

}  // extern "C"

static_assert(std::is_same_v<decltype(&nConversionDepassementExt), PFN_ConversionDepassementExt>);
#ifndef STANDIN_VM_WITHOUT_FIN_CONVERSION
static_assert(std::is_same_v<decltype(&FinConversion), PFN_FinConversion>);
#endif
