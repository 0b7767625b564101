#pragma once

// What the search and filter tests stand on: the command fixture over a
// built record of the table CUSTOMER, whose keys are a primary ID, a
// duplicate K (may be NULL), a duplicate text T, an unsigned byte U, the
// composite keys AN (A, N) with duplicates and ANC (A, N, C) unique, and
// the descending composite key ND (N, C) and IDK (ID, K), whose first
// component alone is unique. Searches and filters are made on
// the fixture's error object and connection and held until the end of the
// test; Shown writes one into a fresh command and gives the text with each
// bound value put in at its place as "[value]".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/driver/wide_text_value.h"
#include "native/model/item_description.h"
#include "native/sql/condition.h"
#include "native/sql/filter.h"
#include "native/sql/search.h"
#include "tests/native/sql/command_fixture.h"

namespace vxtest {

class KeySearchTest : public CommandTestOf<RecordTest>
{
protected:
    void SetUp() override
    {
        CommandTestOf<RecordTest>::SetUp();
        Add(L"ID", NA_IT_I4, 4, NA_KEY_PRIMARY | NA_KEY_UNIQUE);
        Add(L"K", NA_IT_I4, 4, NA_KEY_DUPLICATES);
        Add(L"T", NA_IT_TEXTE, 11, NA_KEY_DUPLICATES);
        Add(L"U", NA_IT_UI1, 1, NA_KEY_DUPLICATES);
        Add(L"A", NA_IT_TEXTE, 6);
        Add(L"N", NA_IT_I4, 4);
        Add(L"C", NA_IT_I2, 2);
        BuildMore();
        AddComposite(L"AN", NA_KEY_DUPLICATES, {L"A", L"N"});
        AddComposite(L"ANC", NA_KEY_UNIQUE, {L"A", L"N", L"C"});
        AddComposite(L"ND", NA_KEY_DUPLICATES | NA_KEY_DESCENDING, {L"N", L"C"});
        AddComposite(L"IDK", NA_KEY_DUPLICATES, {L"ID", L"K"});
        BuildMoreKeys();
        ASSERT_EQ(1, Build());
        m_pclCommand = NewCommand();
    }
    // More items, then more composite keys, before the record is built.
    virtual void BuildMore() {}
    virtual void BuildMoreKeys() {}

    void TearDown() override
    {
        for (CNARecherche* pclSearch : m_searches)
            REF_Release(pclSearch);
        m_searches.clear();
        CommandTestOf<RecordTest>::TearDown();
    }

    template <class T>
    T* Held(T* p)
    {
        EXPECT_NE(nullptr, p);
        if (p != nullptr) {
            REF_AddRef(p);
            m_searches.push_back(p);
        }
        return p;
    }
    CNARecherche* NewSearch() { return Held(new CNARecherche(m_pclError, m_pclConnection)); }
    CNAFilter* NewFilter() { return Held(new CNAFilter(m_pclError, m_pclConnection)); }
    INAItemDescription* Item(const wchar_t* pszName) { return Col(pszName)->piGetItemNoRef(); }

    // A search set on the item with the value (exact unless generic).
    CNARecherche* Search(const wchar_t* pszItem, const CAny& clValue, bool bGeneric = false)
    {
        CNARecherche* pclSearch = NewSearch();
        EXPECT_EQ(1, pclSearch->bSetRecherche(m_record, Item(pszItem), &clValue, static_cast<eNA_PARSEDIRECTION>(0),
                                              bGeneric ? 0 : 1, 0));
        return pclSearch;
    }

    // The value of a parameter as text.
    static std::wstring ValueText(const CNAParameter* pclParameter)
    {
        CAny v;
        pclParameter->pclGetValueNoRef()->bGetValue(&v);
        if (v.bIsNull())
            return L"<NULL>";
        const wchar_t* psz = NA_pszWideTextOf(&v);
        return psz != nullptr ? psz : L"?";
    }

    // The search (with the filter) written into a fresh command: its text
    // with each parameter's value put in at its place.
    std::wstring Shown(CNARecherche* pclSearch, CNAFilter* pclFilter = nullptr)
    {
        EXPECT_EQ(1, pclSearch->bGetSQL(m_pclCommand, pclFilter, m_record));
        EXPECT_EQ(pclSearch->nGetNbParameter(), m_pclCommand->nGetParameterNbr());
        return WithValues(pclSearch);
    }
    std::wstring WithValues(CNARecherche* pclSearch)
    {
        std::wstring text = m_pclCommand->pszGetOriginalSQL() != nullptr ? m_pclCommand->pszGetOriginalSQL() : L"";
        for (int i = pclSearch->nGetNbParameter() - 1; i >= 0; --i) {
            CNAParameter* pclParameter = pclSearch->pclGetParameterNoRef(i);
            const size_t nAt = pclParameter->nGetPosition();
            text.insert(nAt <= text.size() ? nAt : text.size(), L"[" + ValueText(pclParameter) + L"]");
        }
        return text;
    }
    // The current condition after switching to the continuation in a
    // direction (0 forward, 1 backward), shown; the search is switched back.
    std::wstring Continuation(CNARecherche* pclSearch, int nDirection)
    {
        pclSearch->bSetContinueParcours(nDirection);
        std::wstring text = Shown(pclSearch);
        pclSearch->bReviensParcoursPrecedent(nDirection);
        return text;
    }

    // The current values of the record's columns.
    void Set(const wchar_t* pszColumn, const CAny& clValue) { EXPECT_EQ(1, Col(pszColumn)->bSetValue(&clValue, 0)); }
    static CAny Null(unsigned short nType = ZLTYPE_I4)
    {
        CAny v;
        v.__SetType(nType, 0);
        v.SetNull();
        return v;
    }
    static CAny Short(short n)
    {
        CAny v;
        v.SetI2(n);
        return v;
    }
    static CAny Byte(unsigned char n)
    {
        CAny v;
        v.SetUI1(n);
        return v;
    }
    // A composite value: the components' bytes one after the other.
    static CAny Key(const std::string& bytes)
    {
        CAny v;
        v.SetBIN(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
        return v;
    }
    template <class T>
    static std::string Bytes(T t)
    {
        return std::string(reinterpret_cast<const char*>(&t), sizeof t);
    }
    // A text component padded with zeros to its width.
    static std::string Padded(const std::string& s, size_t nWidth)
    {
        std::string r = s;
        r.resize(nWidth, '\0');
        return r;
    }

    CNACommand* m_pclCommand = nullptr;
    std::vector<CNARecherche*> m_searches;
};

}  // namespace vxtest
