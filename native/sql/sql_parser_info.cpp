// The parsed-query adapter: taking the parse's lists, choosing the keys and
// the best parse item, enumerating, and the clause positions.
#include "native/sql/sql_parser_info.h"

#include <new>

#include "native/driver/error_object.h"
#include "native/driver/host_query_parameters.h"
#include "native/model/item_rules.h"
#include "native/model/na_item_description.h"
#include "native/model/record.h"

CSQLParserInfo::CSQLParserInfo(CNAError* pclError, ISQLParserInformation* piParse, INAQueryParametersValue* piValues,
                               int bWithoutClauses)
    : m_pclError(pclError)
{
    if (m_pclError != nullptr)
        m_pclError->AddRef();
    // A host call may throw while the query is taken; no destructor runs
    // then, so what is held so far is given back here.
    try {
        Set(piParse, piValues, bWithoutClauses);
    } catch (...) {
        _ReleaseAll();
        throw;
    }
}

CSQLParserInfo::~CSQLParserInfo()
{
    _ReleaseAll();
}

void CSQLParserInfo::_ReleaseAll()
{
    _Clear();
    if (m_piParse != nullptr)
        m_piParse->nExternalRelease();
    m_piParse = nullptr;
    if (m_piValues != nullptr)
        m_piValues->nExternalRelease();
    m_piValues = nullptr;
    SetRecord(nullptr);
    if (m_pclError != nullptr)
        m_pclError->nRelease();
    m_pclError = nullptr;
}

void CSQLParserInfo::_Clear()
{
    m_tabFrom.SupprimeTout();
    m_tabRubriques.SupprimeTout();
    m_tabGroupe.SupprimeTout();
    m_tabOrderBy.SupprimeTout();
    // The host owns its assignments and insertions: nothing to release.
    m_tabUpdate.SupprimeToutEtLibere();
    m_tabInsert.SupprimeToutEtLibere();
    m_nFromCursor = m_nRubriqueCursor = m_nGroupeCursor = m_nOrderByCursor = -1;
    m_nUpdateCursor = m_nInsertCursor = -1;
    m_bCalculated = 0;
    m_bAggregate = 0;
    m_piBestParseItem = m_piBestKey = m_piUniqueKey = m_piKey = m_piOrderByItem = nullptr;
    m_eTypeRequete = 0;
    if (m_piWhere != nullptr)
        m_piWhere->dwRelease();
    m_piWhere = nullptr;
    if (m_piFurther != nullptr)
        m_piFurther->dwRelease();
    m_piFurther = nullptr;
}

void CSQLParserInfo::Set(ISQLParserInformation* piParse, INAQueryParametersValue* piValues, int bWithoutClauses)
{
    // The new parse is held before the old one goes: they may be the same.
    if (piParse != nullptr)
        piParse->ExternalAddRef();
    _Clear();
    if (m_piParse != nullptr)
        m_piParse->nExternalRelease();
    m_piParse = piParse;
    // The cached limit test belongs to the former text.
    m_nLimited = -1;

    if (piParse != nullptr) {
        for (IInfoFrom* pi = piParse->piEnumFrom(1); pi != nullptr; pi = piParse->piEnumFrom(0)) {
            if (m_tabFrom.Ajoute(pi))
                m_tabFrom._AddRef(pi);
        }
        for (IInfoRubrique* pi = piParse->piEnumRubrique(1); pi != nullptr; pi = piParse->piEnumRubrique(0)) {
            if (!m_tabRubriques.Ajoute(pi))
                continue;
            m_tabRubriques._AddRef(pi);
            if (!pi->bIsItem())
                m_bCalculated = 1;
            const IExpOpExpression* piRoot = pi->piGetExpression();
            if (piRoot != nullptr && s_bIsGroupmentColumn(piRoot->eGetOperator()))
                m_bAggregate = 1;
            if (m_tabFrom.nGetNbElement() == 1 && m_piBestKey == nullptr)
                _ChooseKeys(pi);
        }

        if (!bWithoutClauses) {
            for (IInfoGroupe* pi = piParse->piEnumGroupe(1); pi != nullptr; pi = piParse->piEnumGroupe(0)) {
                CInfoGroupe* pclCopy = new (std::nothrow) CInfoGroupe(pi);
                if (pclCopy == nullptr)
                    continue;
                m_tabGroupe._AddRef(pclCopy);
                if (!m_tabGroupe.Ajoute(pclCopy))
                    m_tabGroupe._Release(pclCopy);
            }
            for (IInfoOrderBy* pi = piParse->piEnumOrderBy(1); pi != nullptr; pi = piParse->piEnumOrderBy(0)) {
                if (m_tabOrderBy.Ajoute(pi))
                    m_tabOrderBy._AddRef(pi);
            }
            if (m_tabOrderBy.nGetNbElement() > 0) {
                m_piOrderByItem = piGetRubriqueOUT(m_tabOrderBy[0]->nGetIndex());
                m_piBestParseItem = m_piOrderByItem;
            }
        }

        if (m_piBestParseItem == nullptr && m_tabRubriques.nGetNbElement() > 0) {
            m_piBestParseItem = m_piBestKey != nullptr     ? m_piBestKey
                                : m_piUniqueKey != nullptr ? m_piUniqueKey
                                : m_piKey != nullptr       ? m_piKey
                                                           : m_tabRubriques[0];
        }

        m_eTypeRequete = piParse->eGetTypeRequete();
        if (m_eTypeRequete == TYPEREQUETE_UPDATE) {
            for (IInfoAffectation* pi = piParse->piEnumAffectation(1); pi != nullptr;
                 pi = piParse->piEnumAffectation(0))
                m_tabUpdate.Ajoute(pi);
        } else if (m_eTypeRequete == TYPEREQUETE_INSERT) {
            for (IInfoInsertion* pi = piParse->piEnumInsertion(1); pi != nullptr; pi = piParse->piEnumInsertion(0))
                m_tabInsert.Ajoute(pi);
        }
        m_piWhere = piParse->piGetWhereExpression();
        if (m_piWhere != nullptr)
            m_piWhere->dwAddRef();
        if (!bWithoutClauses) {
            m_piFurther = piParse->piGetHavingExpression();
            if (m_piFurther != nullptr)
                m_piFurther->dwAddRef();
        }
    }

    if (piValues != nullptr)
        piValues->ExternalAddRef();
    if (m_piValues != nullptr)
        m_piValues->nExternalRelease();
    m_piValues = piValues;
}

void CSQLParserInfo::_ChooseKeys(IInfoRubrique* piItem)
{
    INAItemDescription* piDescription = piGetItemDescription(piItem);
    if (piDescription == nullptr)
        return;
    if (!piDescription->bIsComposedKey()) {
        if (NA_bUniqueNotNull(piDescription)) {
            m_piBestKey = m_piUniqueKey = m_piKey = piItem;
        } else if (piDescription->bUnique()) {
            if (m_piUniqueKey == nullptr)
                m_piUniqueKey = piItem;
            if (m_piKey == nullptr)
                m_piKey = piItem;
        } else if (piDescription->bDuplicates() && m_piKey == nullptr) {
            m_piKey = piItem;
        }
    }
    piDescription->nExternalRelease();
}

void CSQLParserInfo::SetRecord(CNARecord* pclRecord)
{
    if (pclRecord != nullptr)
        REF_AddRef(pclRecord);
    CNARecord* pclFormer = m_pclRecord;
    m_pclRecord = pclRecord;
    if (pclFormer != nullptr)
        REF_Release(pclFormer);
}

// --- Enumerations -----------------------------------------------------------

template <class T>
T* CSQLParserInfo::_pEnum(const CTTableau<T*>& tab, int32_t& nCursor, int bRestart)
{
    if (bRestart)
        nCursor = -1;
    if (nCursor + 1 >= tab.nGetNbElement()) {
        nCursor = tab.nGetNbElement();
        return nullptr;
    }
    return tab[++nCursor];
}

IInfoFrom* CSQLParserInfo::piEnumFichierFrom(int bRestart)
{
    return _pEnum<IInfoFrom>(m_tabFrom, m_nFromCursor, bRestart);
}

IInfoRubrique* CSQLParserInfo::piEnumRubriqueOUT(int bRestart)
{
    return _pEnum<IInfoRubrique>(m_tabRubriques, m_nRubriqueCursor, bRestart);
}

IInfoGroupe* CSQLParserInfo::piEnumRubriqueClauseGroupe(int bRestart)
{
    return _pEnum<CInfoGroupe>(m_tabGroupe, m_nGroupeCursor, bRestart);
}

IInfoOrderBy* CSQLParserInfo::piEnumRubriqueClauseOrder(int bRestart)
{
    return _pEnum<IInfoOrderBy>(m_tabOrderBy, m_nOrderByCursor, bRestart);
}

IInfoAffectation* CSQLParserInfo::piEnumRubriqueUpdate(int bRestart)
{
    return _pEnum<IInfoAffectation>(m_tabUpdate, m_nUpdateCursor, bRestart);
}

IInfoInsertion* CSQLParserInfo::piEnumRubriqueInsert(int bRestart)
{
    return _pEnum<IInfoInsertion>(m_tabInsert, m_nInsertCursor, bRestart);
}

IInfoFrom* CSQLParserInfo::piGetFichierFrom(int n) const
{
    return n >= 0 && n < m_tabFrom.nGetNbElement() ? m_tabFrom[n] : nullptr;
}

IInfoRubrique* CSQLParserInfo::piGetRubriqueOUT(int n) const
{
    return n >= 0 && n < m_tabRubriques.nGetNbElement() ? m_tabRubriques[n] : nullptr;
}

IInfoOrderBy* CSQLParserInfo::piGetRubriqueClauseOrder(int n) const
{
    return n >= 0 && n < m_tabOrderBy.nGetNbElement() ? m_tabOrderBy[n] : nullptr;
}

// --- The query --------------------------------------------------------------

const wchar_t* CSQLParserInfo::pszGetRequete() const
{
    return m_piParse != nullptr ? m_piParse->pszGetRequete() : nullptr;
}

long CSQLParserInfo::nGetWhereStart() const
{
    return m_piParse != nullptr ? m_piParse->nGetWhereStart() : 0;
}

long CSQLParserInfo::nGetWhereEnd() const
{
    return m_piParse != nullptr ? m_piParse->nGetWhereEnd() : -1;
}

long CSQLParserInfo::nGetOrderByStart() const
{
    return m_piParse != nullptr ? m_piParse->nGetOrderByStart() : 0;
}

long CSQLParserInfo::nGetHavingStart() const
{
    return m_piParse != nullptr ? m_piParse->nGetHavingStart() : 0;
}

long CSQLParserInfo::nGetHavingEnd() const
{
    return m_piParse != nullptr ? m_piParse->nGetHavingEnd() : -1;
}

long CSQLParserInfo::nGetGroupByEnd() const
{
    return m_piParse != nullptr ? m_piParse->nGetGroupByEnd() : -1;
}

long CSQLParserInfo::nGetQueryEnd() const
{
    return m_piParse != nullptr ? m_piParse->nGetEnd() : -1;
}

CTabValParser* CSQLParserInfo::pclGetClauseList() const
{
    return m_piParse != nullptr ? m_piParse->pclGetClauseList() : nullptr;
}

const wchar_t* CSQLParserInfo::pszGetBestParseItem() const
{
    return m_piBestParseItem != nullptr ? m_piBestParseItem->pszGetNom() : nullptr;
}

const wchar_t* CSQLParserInfo::pszGetOrderByItem() const
{
    return m_piOrderByItem != nullptr ? m_piOrderByItem->pszGetNom() : nullptr;
}
