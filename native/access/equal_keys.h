#pragma once

// The move that re-positions a browse among rows whose key equals the
// current record's: the parse re-opens on those rows (the current
// direction reads them in order) or beyond them (the next and previous
// directions read past them), so the direction and the count change with
// the record's place among them and their number.
#include "native/access/statement.h"

struct stNAEqualKeysMove
{
    eNA_PARSEDIRECTION eDirection;
    long llCount;
};

// nRank: the record's place among the equal rows, from 0; nEqual: their
// number. First and last are left as they are.
stNAEqualKeysMove NA_EqualKeysMove(int nRank, eNA_PARSEDIRECTION eDirection, long llCount, long nEqual);
