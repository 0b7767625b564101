// The move among rows with an equal key, as a table: the record's rank
// among them, the direction and count asked, their number, and the move
// that re-positions the browse.
#include <gtest/gtest.h>

#include "native/access/equal_keys.h"

namespace {

using NADirection::kCurrent;
using NADirection::kFirst;
using NADirection::kLast;
using NADirection::kNext;
using NADirection::kPrevious;

TEST(EqualKeys, TheMoveFromTheRankAndTheNumberOfEqualRows)
{
    struct Case
    {
        const char* pszName;
        int nRank;
        eNA_PARSEDIRECTION eDirection;
        long llCount;
        long nEqual;
        eNA_PARSEDIRECTION eDirectionAfter;
        long llCountAfter;
    };
    const Case cases[] = {
        {"next 1 from rank 2 of 5 stays among them", 2, kNext, 1, 5, kCurrent, 4},
        {"next 2 from rank 2 of 5 reaches the last of them", 2, kNext, 2, 5, kCurrent, 5},
        {"next 3 from rank 2 of 5 goes past them", 2, kNext, 3, 5, kNext, 1},
        {"next 1 from the last of 5", 4, kNext, 1, 5, kNext, 1},
        {"next from a rank beyond the count (rows gone)", 6, kNext, 2, 5, kNext, 2},
        {"previous 1 from the first of 3 reads the row before them", 0, kPrevious, 1, 3, kPrevious, 1},
        {"previous 1 from rank 2 of 3", 2, kPrevious, 1, 3, kCurrent, 2},
        {"previous 2 from rank 2 of 3 reaches the first", 2, kPrevious, 2, 3, kCurrent, 1},
        {"previous 3 from rank 2 of 3 goes before them", 2, kPrevious, 3, 3, kPrevious, 1},
        {"previous 5 from rank 2 of 3", 2, kPrevious, 5, 3, kPrevious, 3},
        {"previous as many as equal rows", 4, kPrevious, 5, 5, kPrevious, 1},
        {"current on rank 3 of 5", 3, kCurrent, 0, 5, kCurrent, 4},
        {"current past the equal rows lands on the last", 7, kCurrent, 0, 5, kCurrent, 5},
        {"current with no equal row left keeps its count", 2, kCurrent, 1, 0, kCurrent, 1},
        {"first unchanged", 3, kFirst, 2, 5, kFirst, 2},
        {"last unchanged", 3, kLast, 2, 5, kLast, 2},
        {"a single row: next", 0, kNext, 1, 1, kNext, 1},
        {"a single row: previous", 0, kPrevious, 1, 1, kPrevious, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        const stNAEqualKeysMove move = NA_EqualKeysMove(c.nRank, c.eDirection, c.llCount, c.nEqual);
        EXPECT_EQ(c.eDirectionAfter, move.eDirection);
        EXPECT_EQ(c.llCountAfter, move.llCount);
    }
}

}  // namespace
