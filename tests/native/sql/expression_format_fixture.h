#pragma once

// What the tests of the parsed-query writer stand on: the command fixture
// (test connection of kind 5, identifiers quoted with back quotes), texts
// kept for the stand-in parses, a literal and a column node found by their
// text, and the written command read back as its original text, its
// formatted text and its parameters' positions and values.
#include <gtest/gtest.h>

#include <cwctype>
#include <deque>
#include <memory>
#include <string>
#include <utility>

#include "native/driver/wide_text_value.h"
#include "tests/fakes/fake_item_description.h"
#include "tests/native/sql/command_fixture.h"

namespace vxtest {

class ExpressionFormatTest : public CommandTest
{
protected:
    using Expr = vxstandin::ExpressionSpec;

    // A text held for the test's whole length (the parses point into it).
    const std::wstring& Text(std::wstring text)
    {
        m_texts.push_back(std::move(text));
        return m_texts.back();
    }
    // The nth occurrence of the piece that stands as a word of its own
    // (no letter, digit or "_" on either side).
    static SQLPosition At(const std::wstring& text, const std::wstring& piece, int nth = 0)
    {
        const auto bName = [](wchar_t c) { return std::iswalnum(c) || c == L'_'; };
        for (size_t nAt = text.find(piece); nAt != std::wstring::npos; nAt = text.find(piece, nAt + 1)) {
            const size_t nEnd = nAt + piece.size();
            if ((nAt > 0 && bName(text[nAt - 1]) && bName(piece.front())) ||
                (nEnd < text.size() && bName(text[nEnd]) && bName(piece.back())))
                continue;
            if (nth-- == 0)
                return SQLPosition{static_cast<long>(nAt), static_cast<long>(nEnd - 1)};
        }
        return SQLPosition{-1, -1};
    }
    // A column node written as `piece` in the text.
    static Expr Column(const std::wstring& text, const std::wstring& item, const std::wstring& table = L"",
                       int nth = 0, INAItemDescription* piItem = nullptr)
    {
        const std::wstring written = table.empty() ? item : table + L"." + item;
        return Expr{.eOperator = OPEXP_ITEM, .item = item, .table = table, .position = At(text, written, nth),
                    .description = piItem};
    }
    // A text literal written as `piece` (quotes included), of that value.
    static Expr Literal(const std::wstring& text, const std::wstring& piece, const wchar_t* pszValue, int nth = 0)
    {
        return Expr{.eOperator = OPEXP_LITERAL, .position = At(text, piece, nth),
                    .value = std::make_shared<CAny>(Wide(pszValue))};
    }
    static Expr Number(const std::wstring& text, const std::wstring& piece, int n, int nth = 0)
    {
        return Expr{.eOperator = OPEXP_LITERAL, .position = At(text, piece, nth), .value = std::make_shared<CAny>(Int(n))};
    }
    // An operator node spanning `piece` over its operands.
    static Expr Op(int eOperator, const std::wstring& text, const std::wstring& piece, std::vector<Expr> operands,
                   int nth = 0)
    {
        return Expr{.eOperator = eOperator, .position = At(text, piece, nth), .operands = std::move(operands)};
    }

    // A command with the parse written into it.
    CNACommand* Written(StandinParsedQuery& parse, CNACommand* pclCondition = nullptr, int bKeepOrderBy = 1,
                        int nMode = 0, int* pbDone = nullptr)
    {
        CNACommand* pclCommand = NewCommand();
        const int bDone = pclCommand->bFormatCondition(Query(parse), pclCondition, bKeepOrderBy, nMode);
        if (pbDone != nullptr)
            *pbDone = bDone;
        else
            EXPECT_EQ(1, bDone);
        return pclCommand;
    }
    static std::wstring Original(const CNACommand* pclCommand) { return pclCommand->pszGetOriginalSQL(); }
    // The parameters' values as wide text, "|"-separated.
    static std::wstring Values(const CNACommand* pclCommand)
    {
        std::wstring values;
        for (unsigned i = 0; pclCommand->pclGetParameterNoRef(i) != nullptr; ++i) {
            CAny clValue;
            pclCommand->pclGetParameterNoRef(i)->pclGetValueNoRef()->bGetValue(&clValue);
            const wchar_t* psz = NA_pszWideTextOf(&clValue);
            values += (i > 0 ? L"|" : L"") + std::wstring(psz != nullptr ? psz : L"<none>");
        }
        return values;
    }
    // An item description that outlives the test's commands (their
    // parameters hold it).
    CFakeItemDescription& Description(int eType, const wchar_t* pszName)
    {
        return m_descriptions.emplace_back(eType, pszName);
    }
    // The connection's form of an item name.
    std::wstring Name(const wchar_t* pszItem)
    {
        CTString csName;
        Connection().bFormatItemName(m_pclError, pszItem, &csName);
        return csName.pszGet();
    }
    unsigned ErrorCode() const { return m_pclError->dwGetErrorId(); }
    std::wstring ErrorText() const
    {
        const wchar_t* psz = m_pclError->pszGetError();
        return psz != nullptr ? psz : L"";
    }

    std::deque<std::wstring> m_texts;
    std::deque<CPlainFakeItemDescription> m_descriptions;
};

}  // namespace vxtest
