#pragma once

#include "native/model/interf.h"

// The execution of one SQL statement on a connection. The SQL-functions
// object keeps the statements the host addresses by handle in a table that
// holds one reference on each; it is counted through CInterf, plainly, under
// the driver-wide lock, and deleted when the last reference goes.
class CNAStatementSQL : public CInterf
{
};
