// The connection's slot whose work lies with the database's own connection,
// which is not built yet: it answers 0 and changes nothing.
#include "native/driver/connection_description.h"

int CNAConnectionDescription::_bDecomposeServerVersion(CNAError*)
{
    return 0;
}
