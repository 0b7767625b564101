#include "native/sql/condition_parameters.h"

#include "native/driver/driver.h"
#include "native/sql/command.h"

CNAConditionParameters::~CNAConditionParameters()
{
    RemoveAllParameters();
}

CNAParameter* CNAConditionParameters::_pclAddParameter(CNAColumn* pclColumn, CNAConvertVariant* pclValue,
                                                       unsigned long nPosition, unsigned nFlags)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    if (pclDriver == nullptr || pclValue == nullptr)
        return nullptr;
    CNAParameter* pclParameter = pclColumn != nullptr
                                     ? pclDriver->pclAllocParameter_col(pclColumn, pclValue, nPosition, nFlags, nullptr)
                                     : pclDriver->pclAllocParameter(pclValue, nPosition, nFlags, nullptr);
    if (pclParameter == nullptr)
        return nullptr;
    CNARefArray<CNAParameter>::_AddRef(pclParameter);
    if (!m_tabParameters.Ajoute(pclParameter)) {
        CNARefArray<CNAParameter>::_Release(pclParameter);
        return nullptr;
    }
    return pclParameter;
}

void CNAConditionParameters::_RemoveParameterByPos(unsigned long nPosition)
{
    for (int i = m_tabParameters.nGetNbElement() - 1; i >= 0; --i) {
        CNAParameter* pclParameter = m_tabParameters[i];
        if (pclParameter->nGetPosition() < nPosition)
            break;
        m_tabParameters.Supprime(i, 1);
        CNARefArray<CNAParameter>::_Release(pclParameter);
    }
}

void CNAConditionParameters::_RemoveParametersFrom(int nCount)
{
    for (int i = m_tabParameters.nGetNbElement() - 1; i >= 0 && i >= nCount; --i) {
        CNAParameter* pclParameter = m_tabParameters[i];
        m_tabParameters.Supprime(i, 1);
        CNARefArray<CNAParameter>::_Release(pclParameter);
    }
}

void CNAConditionParameters::GetParameterFromQuery(CNACommand* pclCommand, unsigned nIndex)
{
    if (pclCommand == nullptr)
        return;
    const int nCount = pclCommand->nGetParameterNbr();
    for (int i = static_cast<int>(nIndex); i >= 0 && i < nCount; ++i) {
        CNAParameter* pclParameter = pclCommand->pclGetParameterNoRef(static_cast<unsigned>(i));
        if (pclParameter == nullptr)
            continue;
        CNARefArray<CNAParameter>::_AddRef(pclParameter);
        if (!m_tabParameters.Ajoute(pclParameter))
            CNARefArray<CNAParameter>::_Release(pclParameter);
    }
}

void CNAConditionParameters::RemoveAllParameters()
{
    m_tabParameters.SupprimeTout();
}

CNAParameter* CNAConditionParameters::pclGetParameterNoRef(int n) const
{
    if (n < 0 || n >= m_tabParameters.nGetNbElement())
        return nullptr;
    return m_tabParameters[n];
}

CNAParameter* CNAConditionParameters::pclGetParameter(int n) const
{
    CNAParameter* pclParameter = pclGetParameterNoRef(n);
    if (pclParameter != nullptr)
        REF_AddRef(pclParameter);
    return pclParameter;
}
