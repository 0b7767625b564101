#include "tests/host/db/standin_connection_description.h"

const wchar_t* StandinConnectionDescription::pszGetParam(int nParam) const
{
    if (nParam < 0 || static_cast<size_t>(nParam) >= m_params.size())
        return nullptr;
    return m_params[static_cast<size_t>(nParam)].psz();
}
