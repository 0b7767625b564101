// Placeholder bodies of the table's open, create, close, filter, query and
// not-offered operations until they are built: each answers 0 (or null).
#include "native/access/table.h"

INAError* CNATable::piGetLastError(INAContext*)
{
    return nullptr;
}

int CNATable::FreeMemory(INAContext*, void**) const
{
    return 0;
}

int CNATable::bHCreationSiInexistant(INAContext*, eNA_ACCESS, const wchar_t*)
{
    return 0;
}

int CNATable::bHCreation(INAContext*, const wchar_t*)
{
    return 0;
}

int CNATable::bHOuvre(INAContext*, eNA_ACCESS, const wchar_t*)
{
    return 0;
}

int CNATable::bHMode(INAContext*, _eNA_HMODE)
{
    return 0;
}

int CNATable::bHFerme(INAContext*)
{
    return 0;
}

int CNATable::bHFiltre(INAContext*, ISQLParserInformation*, wchar_t*)
{
    return 0;
}

int CNATable::bHFiltre(INAContext*, const wchar_t*, const CAny*, int, const CAny*, int, ISQLParserInformation*)
{
    return 0;
}

int CNATable::bHInterditModif(INAContext*)
{
    return 0;
}

int CNATable::bHFinInterditModif(INAContext*)
{
    return 0;
}

int CNATable::bCalculateKeyValue(INAContext*, const wchar_t*, void**, const void*, unsigned*, unsigned short, int)
{
    return 0;
}

int CNATable::bSupprimeFichier(INAContext*)
{
    return 0;
}

int CNATable::bExecuteQuery(int*, INAContext*, const wchar_t*, ISQLParserInformation*, unsigned,
                            const INAQueryExecution*)
{
    return 0;
}
