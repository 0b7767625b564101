#pragma once

// A saved browse position of a data access: the statement, its row and the
// filter it had, kept under a process-wide number until returned to or
// freed. Counted through CInterf, plainly, under the driver-wide lock. The
// saved positions' own operations come with them; this declares the object
// the data access keeps in its table of positions.
#include "native/model/interf.h"

class CNAPosition : public CInterf
{
};
