// The key of a decimal number, written by the virtual machine's own decimal.
#include "common/text/decimal_interface.h"
#include "common/text/qf_convert_key.h"
#include "common/text/vm_binding.h"

bool CQFConvertKey::_Decimal_to_Key(unsigned char* pKey, const unsigned char* pData, unsigned long nSize,
                                    int nPrecision, int nScale)
{
    if (pKey == nullptr || pData == nullptr || gpiVMFactory == nullptr || nPrecision < 1 ||
        nPrecision > DECIMAL_MAX_PRECISION || nScale < 0 || nScale > nPrecision ||
        nSize < IDecimal::mg_PToN[nPrecision])
        return false;
    IDecimal* pDecimal = gpiVMFactory->vpclCreateDecimal(0);
    if (pDecimal == nullptr)
        return false;
    const bool bOk = pDecimal->vnSetPacked(pData, IDecimal::mg_PToN[nPrecision], nPrecision, nScale) == 0;
    if (bOk)
        pDecimal->vWriteKey(pKey);
    gpiVMFactory->vReleaseDecimal(pDecimal);
    return bOk;
}
