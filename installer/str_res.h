#pragma once

#include "common/text/ct_string.h"

// The installer module's message id formatted with the arguments (empty when
// the id is unknown or formats to nothing).
CTString sGetRES(unsigned int nId, ...);
