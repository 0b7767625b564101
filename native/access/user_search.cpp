// The user's search of a parse: kept, copied, cancelled, and judged on the
// record read.
#include "native/access/user_search.h"

#include "native/access/held_references.h"
#include "native/model/na_item_description.h"
#include "native/model/column.h"
#include "native/model/record.h"

namespace {
// Compare flag of a column's value test: the kept value is a prefix.
constexpr unsigned kComparePrefix = 0x1000;
}  // namespace

CNAUserSearch::~CNAUserSearch()
{
    CancelUserSearch();
}

void CNAUserSearch::SetUserSearch(INAItemDescription* piItem, const CAny* pclValue, uint32_t nOptions)
{
    if (pclValue != &m_clValue) {
        NA_ReplaceHeldExternal(m_piItem, piItem);
        if (pclValue != nullptr)
            m_clValue = *pclValue;
        else
            m_clValue = CAny();
        m_nOptions = nOptions;
        return;
    }
    // The value is the kept one (a search copied onto itself): keep it
    // through the cancel.
    CAny clValue;
    clValue = m_clValue;
    if (piItem != nullptr)
        piItem->ExternalAddRef();
    CancelUserSearch();
    m_piItem = piItem;
    m_clValue = clValue;
    m_nOptions = nOptions;
}

void CNAUserSearch::CancelUserSearch()
{
    INAItemDescription* piItem = m_piItem;
    m_piItem = nullptr;
    if (piItem != nullptr)
        piItem->nExternalRelease();
    m_clValue = CAny();
    m_nOptions = 0;
}

int CNAUserSearch::bGetHTrouve(CNARecord* pclRecord) const
{
    if (m_piItem == nullptr)
        return 1;
    CNAColumn* pclColumn = pclRecord != nullptr ? pclRecord->pclGetColumnNoRef(m_piItem) : nullptr;
    if (pclColumn == nullptr)
        return 0;
    return pclColumn->bSameValue(&m_clValue, (m_nOptions & kGeneric) != 0 ? kComparePrefix : 0);
}

void CNAUserSearch::Copy(const CNAUserSearch& other)
{
    if (&other == this)
        return;
    if (other.m_piItem == nullptr)
        CancelUserSearch();
    else
        SetUserSearch(other.m_piItem, &other.m_clValue, other.m_nOptions);
}
