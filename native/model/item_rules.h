#pragma once

// Rules the driver applies to any item description, the host's own as well
// as its own descriptions: they only call the slots of INAItemDescription,
// and they ask vbConstraintNullAllowed only of a description whose interface
// version is above 8, as the host expects.
#include "native/model/na_item_description.h"

// Whether the item's values are unique and never NULL: a primary key is; an
// item that is not unique is not; a unique item of an interface version
// above 8 when its constraint allows no NULL; of an older version, the
// auto-identifier types (1 and 28). False for a null item.
int NA_bUniqueNotNull(const INAItemDescription* piItem);

// Whether the item is an auto-identifier (IDAUTO or IDAUTO4).
int NA_bIsIdAutoItem(const INAItemDescription* piItem);
