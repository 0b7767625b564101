#include "native/access/sql_element.h"

int CNASqlElt::pfnCmpELT(CNASqlElt* const* ppA, CNASqlElt* const* ppB)
{
    const uint64_t nA = (*ppA)->m_nStart;
    const uint64_t nB = (*ppB)->m_nStart;
    if (nA == nB)
        return 0;
    return nA > nB ? 1 : -1;
}
