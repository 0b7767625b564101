#pragma once

#include "native/model/interf.h"

// One logical database connection of the driver, shared by every table,
// statement and handle that works on it. The driver keeps one per distinct
// connection identification in its connection registry, which holds one
// reference on each; it is counted through CInterf, plainly, under the
// driver-wide lock.
class CNAConnectionDescription : public CInterf
{
};
