// Rules over any item description.
#include "native/model/item_rules.h"

#include "native/model/item_type.h"

int NA_bIsIdAutoItem(const INAItemDescription* piItem)
{
    if (piItem == nullptr)
        return 0;
    const eNA_ITEMTYPE eType = piItem->eNAGetItemType();
    return eType == NA_IT_IDAUTO || eType == NA_IT_IDAUTO4;
}

int NA_bUniqueNotNull(const INAItemDescription* piItem)
{
    if (piItem == nullptr)
        return 0;
    if (piItem->bPrimary())
        return 1;
    if (!piItem->bUnique())
        return 0;
    if (piItem->nGetVersion() > 8)
        return !piItem->vbConstraintNullAllowed();
    return NA_bIsIdAutoItem(piItem);
}
