#include "common/text/any.h"
#include "common/text/zl_bin.h"

int CZLBIN::nAssignInit(const STTabAny& tab)
{
    if (tab.m_nNbElement > static_cast<uint64_t>(STRMEM_MAX_BYTES))
        return STRMEM_ERR_TOO_LARGE;
    const int n = tab.m_pclTab ? static_cast<int>(tab.m_nNbElement) : 0;
    unsigned char by;
    for (int i = 0; i < n; ++i)
        if (tab.m_pclTab[i].nGetBYTE(by) != ANY_OK)
            return ANY_ERR_PAS_UN_OCTET;
    if (n == 0) {
        _Release();
        return 0;
    }
    const int rc = _nNewBlock(n, nullptr, 0, 0);
    if (rc != 0)
        return rc;
    for (int i = 0; i < n; ++i) {
        (void)tab.m_pclTab[i].nGetBYTE(by);
        m_pbyData[i] = by;
    }
    _SetLength(static_cast<uint32_t>(n));
    return 0;
}
