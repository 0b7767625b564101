// Output definitions of a command.
#include "native/model/define.h"

#include "native/model/column.h"
#include "native/model/convert_variant.h"

CNADefine::CNADefine(CNAColumn* pclColumn) : m_pclColumn(pclColumn)
{
    if (m_pclColumn == nullptr)
        return;
    REF_AddRef(m_pclColumn);
    m_pclValue = m_pclColumn->pclGetNAValue();
    if (m_pclValue != nullptr)
        REF_AddRef(m_pclValue);
}

CNADefine::CNADefine(const wchar_t* pszName, CNAConvertVariant* pclValue) : m_csName(pszName), m_pclValue(pclValue)
{
    if (m_pclValue != nullptr)
        REF_AddRef(m_pclValue);
}

CNADefine::~CNADefine()
{
    if (m_pclValue != nullptr)
        REF_Release(m_pclValue);
    if (m_pclColumn != nullptr)
        REF_Release(m_pclColumn);
}

const wchar_t* CNADefine::pszGetName() const
{
    return m_pclColumn != nullptr ? m_pclColumn->pszGetName() : m_csName.pszGet();
}

CNAConnectionDescription* CNADefine::pclGetCnx() const
{
    return m_pclValue != nullptr ? m_pclValue->pclGetCnx() : nullptr;
}
