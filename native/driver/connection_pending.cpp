// The connection's slots whose work lies in the literal layer, which is not
// built yet: each answers 0 and adds nothing, so that a caller reaching one
// early fails plainly instead of believing a literal was written.
#include "native/driver/connection_description.h"

int CNAConnectionDescription::bConvertValueToString(CNAError*, CTStringConcatAW*, const CAny*, eNA_ITEMTYPE,
                                                    eNA_ITEMTYPE)
{
    return 0;
}

int CNAConnectionDescription::bCastCAnyIntoDBType(CNAError*, CAny*, eNA_ITEMTYPE, eNA_ITEMTYPE, int)
{
    return 0;
}

int CNAConnectionDescription::_bEscapeString(CNAError*, CTStringConcatAW*, unsigned short, unsigned char*,
                                             unsigned long)
{
    return 0;
}

int CNAConnectionDescription::_bBoolToString(CNAError*, CTStringConcatAW*, int)
{
    return 0;
}

int CNAConnectionDescription::_bDateToString(CNAError*, CTStringConcatAW*, const CAny*, eNA_ITEMTYPE)
{
    return 0;
}

int CNAConnectionDescription::_bDecomposeServerVersion(CNAError*)
{
    return 0;
}
