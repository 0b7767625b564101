#include "native/access/equal_keys.h"

stNAEqualKeysMove NA_EqualKeysMove(int nRank, eNA_PARSEDIRECTION eDirection, long llCount, long nEqual)
{
    const long r = static_cast<long>(nRank) + 1;
    stNAEqualKeysMove move{eDirection, llCount};
    if (eDirection == NADirection::kPrevious) {
        if (r > llCount && llCount < nEqual) {
            move.eDirection = NADirection::kCurrent;
            move.llCount = r - llCount;
        } else {
            move.llCount = llCount - r + 1;
        }
    } else if (eDirection == NADirection::kCurrent) {
        if (r <= nEqual)
            move.llCount = r;
        else if (nEqual > 0)
            move.llCount = nEqual;
    } else if (eDirection == NADirection::kNext) {
        if (llCount + r <= nEqual) {
            move.eDirection = NADirection::kCurrent;
            move.llCount = llCount + r;
        } else if (r <= nEqual) {
            move.llCount = llCount - (nEqual - r);
        }
    }
    return move;
}
