// The driver's conversion values: the variant factory (slot 44) and the
// typed values made through it.
#include <new>

#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/model/column.h"
#include "native/model/convert_variant.h"

CNAConvertVariant* CNADriver::pclAllocVariant(CNAError* pclError, CNAConnectionDescription* pclConnection)
{
    CNAError* pclTarget = pclError != nullptr ? pclError : m_pclError;
    CNAConvertVariant* pclVariant = new (std::nothrow) CNAConvertVariant(pclTarget, pclConnection);
    if (pclVariant == nullptr && pclTarget != nullptr)
        pclTarget->SetAnyError(ANY_ERR_MEMOIRE, 0, 0, NA_SRC_DRIVER, NASite::kDriverVariantNoMemory, pclConnection, nullptr, nullptr);
    return pclVariant;
}

CNAConvertVariant* CNADriver::pclGetNewVariant_NV_Any(CNAError* pclError, CNAConnectionDescription* pclConnection,
                                                      CNAColumn* pclColumn, unsigned short nType)
{
    CNAConvertVariant* pclVariant = pclAllocVariant(pclError, pclConnection);
    if (pclVariant == nullptr)
        return nullptr;
    if (pclColumn == nullptr) {
        pclVariant->InitTypeVariantAny(nType, 0);
    } else if (!pclColumn->bInitVariant_NV_Any(pclError, pclVariant, nType)) {
        // Never referenced: destroyed here.
        delete pclVariant;
        return nullptr;
    }
    return pclVariant;
}

CNAConvertVariant* CNADriver::pclGetNewVariant_NV_Any(CNAError* pclError, CNAConnectionDescription* pclConnection,
                                                      CNAColumn* pclColumn, const CAny* pclValue)
{
    if (pclValue == nullptr)
        return nullptr;
    CNAConvertVariant* pclVariant = pclGetNewVariant_NV_Any(pclError, pclConnection, pclColumn,
                                                            static_cast<unsigned short>(pclValue->nGetTypeCode()));
    if (pclVariant != nullptr && !pclVariant->bSetValue(pclValue)) {
        delete pclVariant;
        return nullptr;
    }
    return pclVariant;
}
