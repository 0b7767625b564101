#include "native/sql/condition.h"
#include <new>

#include "native/driver/error_object.h"
#include "native/model/column_null_exclusions.h"

CNAExpression::CNAExpression(CNAError* pclError) : m_pclError(pclError)
{
    if (m_pclError != nullptr)
        REF_AddRef(m_pclError);
}

CNAExpression::~CNAExpression()
{
    delete m_pclColumnNull;
    if (m_pclError != nullptr)
        REF_Release(m_pclError);
}

CNAExpression* CNAExpression::pclAllocExpression() { return new (std::nothrow) CNAExpression(m_pclError); }
int CNAExpression::_bGetSQLFromValue(CNACommand*, CNAConditionParameters*, int*) { return 0; }
void CNAExpression::InitExpression(eNAOperator eOp, CNAExpression*, CNAExpression*, unsigned nFlags) { m_eOperator = eOp; m_nFlags = nFlags; }
void CNAExpression::InitExpression(eNAOperator eOp, CNAColumn*, CNAConvertVariant*, unsigned nFlags) { m_eOperator = eOp; m_nFlags = nFlags; }
int CNAExpression::InitExpression(ISQLParserInformation*, unsigned) { return 0; }
CNAExpression* CNAExpression::pclAllocExpression(eNAOperator, CNAExpression*, CNAExpression*, unsigned) { return nullptr; }
CNAExpression* CNAExpression::pclAllocExpression(eNAOperator, CNAColumn*, CNAConvertVariant*, unsigned) { return nullptr; }
CNAExpression* CNAExpression::pclAllocExpression(ISQLParserInformation*, unsigned) { return nullptr; }
CNAExpression* CNAExpression::pclAddOperation(eNAOperator, CNAExpression*) { return nullptr; }
CNAExpression* CNAExpression::pclClone() { return nullptr; }
void CNAExpression::Insert(CNAExpression*, CNAExpression*) {}
CNAExpression* CNAExpression::pclTransformEqualTo(CNARecord*, CNAExpression*, eNAOperator) { return this; }
int CNAExpression::bGetSQL(CNACommand*, eNAOperator, CNAConditionParameters*, int*, CNARecord*) { return 0; }
int CNAExpression::bColumnValuesNullSelected(const CNAColumn*) { return 1; }
const wchar_t* CNAExpression::s_pszDumpOp(eNAOperator) { return L""; }
eOPEXPRESSION CNAExpression::Convert_eNAOperator_To_eOPEXPRESSION(eNAOperator) { return static_cast<eOPEXPRESSION>(-1); }
eNAOperator CNAExpression::s_eInvertOperator(eNAOperator eOp) { return eOp; }
int CNAExpression::s_bExpressionTrue(eNAOperator, CNAConnectionDescription*, const CAny*) { return 0; }
int CNAExpression::s_eGetSensTriColonne(CNARecord*, CNAColumn*) { return 0; }
int CNAExpression::s_bGetBorneRechercheDateMin(eNA_ITEMTYPE, const CAny*, CAny*) { return 0; }
int CNAExpression::s_bGetBorneRechercheDateMax(eNA_ITEMTYPE, const CAny*, CAny*) { return 0; }
int CNAExpression::s_bGetBorneRechercheDateGenerique(eNA_ITEMTYPE, const CAny*, CAny*, CAny*) { return 0; }
