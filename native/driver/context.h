#pragma once

#include "native/model/interf.h"

// The driver's registry for one host execution context: the data accesses
// that context has opened. The driver keeps one per host context in its
// context registry, which holds one reference on each; it is counted through
// CInterf, plainly, under the driver-wide lock.
class CNAContext : public CInterf
{
};
