#pragma once

// The object that computes a data access's auto-increment values on the
// client. Counted through CInterf, plainly, under the driver-wide lock; the
// database driver's factory makes it and the data access holds it with one
// reference. Its computing comes with the auto-increment values; this
// declares the object the data access holds.
#include "native/model/interf.h"

class CNAIDAuto : public CInterf
{
};
