// The transaction statements of a host's SQL text, read word by word.
#include "mysql/transaction_texts.h"

#include <cstddef>
#include <string_view>

#include "common/text/char_class.h"

namespace {

// The first words of a statement that tell its kind; a statement that has
// more is none of the short forms it is compared with.
constexpr size_t kWordsKept = 8;

bool bBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool bWordCharacter(char c)
{
    return bMajusculeA(c) || bMinusculeA(c) || bEstUnChiffreA(c) || c == '_' || c == '$';
}

// One statement's first words, upper-cased, and whether it holds anything
// that is no word (a quote, an operator) or more words than are kept.
struct stStatement
{
    char szWords[kWordsKept][12] = {};
    size_t nWords = 0;
    bool bOther = false;

    bool bEmpty() const { return nWords == 0 && !bOther; }
    bool bWord(size_t n, std::string_view sKeyword) const { return n < nWords && sKeyword == szWords[n]; }

    void AddWord(const char* pStart, size_t nLength)
    {
        if (nWords == kWordsKept) {
            bOther = true;
            return;
        }
        // A word longer than any keyword keeps its place as an empty one,
        // which no keyword matches.
        if (nLength < sizeof szWords[0]) {
            for (size_t i = 0; i < nLength; ++i)
                szWords[nWords][i] = bMinusculeA(pStart[i]) ? static_cast<char>(pStart[i] - 'a' + 'A') : pStart[i];
            szWords[nWords][nLength] = 0;
        }
        ++nWords;
    }
};

// Reads the text one statement at a time.
class CStatementReader
{
public:
    explicit CStatementReader(const char* pszSQL) : m_p(pszSQL) {}

    // The next statement; false at the end of the text.
    bool bNext(stStatement* pStatement)
    {
        *pStatement = stStatement{};
        if (*m_p == 0)
            return false;
        while (*m_p != 0) {
            const char c = *m_p;
            if (c == ';') {
                ++m_p;
                return true;
            }
            if (bBlank(c) || _bSkipComment()) {
                if (bBlank(c))
                    ++m_p;
            } else if (bWordCharacter(c)) {
                const char* pStart = m_p;
                while (bWordCharacter(*m_p))
                    ++m_p;
                pStatement->AddWord(pStart, static_cast<size_t>(m_p - pStart));
            } else if (c == '\'' || c == '"' || c == '`') {
                _SkipQuoted(c);
                pStatement->bOther = true;
            } else {
                ++m_p;
                pStatement->bOther = true;
            }
        }
        return true;
    }

private:
    // A comment at the cursor is passed over (true); the markers of an
    // executable comment are passed over too, and its code is read.
    bool _bSkipComment()
    {
        if (m_p[0] == '*' && m_p[1] == '/' && m_bInExecutableComment) {
            m_bInExecutableComment = false;
            m_p += 2;
            return true;
        }
        if (m_p[0] == '/' && m_p[1] == '*') {
            if (m_p[2] == '!' || (m_p[2] == 'M' && m_p[3] == '!')) {
                m_p += m_p[2] == '!' ? 3 : 4;
                while (bEstUnChiffreA(*m_p))
                    ++m_p;
                m_bInExecutableComment = true;
                return true;
            }
            m_p += 2;
            while (*m_p != 0 && !(m_p[0] == '*' && m_p[1] == '/'))
                ++m_p;
            if (*m_p != 0)
                m_p += 2;
            return true;
        }
        // "--" opens a comment only before a blank, a control character or
        // the end; "#" always does.
        const bool bDashes =
            m_p[0] == '-' && m_p[1] == '-' && (m_p[2] == 0 || static_cast<unsigned char>(m_p[2]) <= ' ');
        if (bDashes || m_p[0] == '#') {
            while (*m_p != 0 && *m_p != '\n')
                ++m_p;
            return true;
        }
        return false;
    }

    // A quoted string or name: a doubled quote stays inside it, and so does
    // a quote after a backslash in a string.
    void _SkipQuoted(char cQuote)
    {
        ++m_p;
        while (*m_p != 0) {
            if (*m_p == '\\' && cQuote != '`' && m_p[1] != 0) {
                m_p += 2;
            } else if (*m_p == cQuote) {
                ++m_p;
                if (*m_p != cQuote)
                    return;
                ++m_p;
            } else {
                ++m_p;
            }
        }
    }

    const char* m_p;
    bool m_bInExecutableComment = false;
};

// ROLLBACK [WORK] [AND [NO] CHAIN] [[NO] RELEASE], and nothing else.
bool bPlainRollBack(const stStatement& s)
{
    if (s.bOther || !s.bWord(0, "ROLLBACK"))
        return false;
    size_t n = 1;
    const auto take = [&](std::string_view sKeyword) {
        if (!s.bWord(n, sKeyword))
            return false;
        ++n;
        return true;
    };
    take("WORK");
    if (take("AND")) {
        take("NO");
        if (!take("CHAIN"))
            return false;
    }
    if (take("NO") && !s.bWord(n, "RELEASE"))
        return false;
    take("RELEASE");
    return n == s.nWords;
}

bool bCommitting(const stStatement& s)
{
    if (s.bWord(0, "COMMIT"))
        return true;
    // BEGIN NOT ATOMIC opens a compound statement, not a transaction.
    if (s.bWord(0, "BEGIN"))
        return !s.bOther && (s.nWords == 1 || (s.nWords == 2 && s.bWord(1, "WORK")));
    return (s.bWord(0, "START") && s.bWord(1, "TRANSACTION")) || (s.bWord(0, "RELEASE") && s.bWord(1, "SAVEPOINT"));
}

}  // namespace

eTransactionText g_eTransactionText(const char* pszSQL)
{
    if (pszSQL == nullptr)
        return eTransactionText::Other;
    CStatementReader reader(pszSQL);
    stStatement statement;
    size_t nStatements = 0;
    bool bOnlyRollBack = true;
    while (reader.bNext(&statement)) {
        if (statement.bEmpty())
            continue;
        if (bCommitting(statement))
            return eTransactionText::Commit;
        ++nStatements;
        bOnlyRollBack = bOnlyRollBack && bPlainRollBack(statement);
    }
    return nStatements == 1 && bOnlyRollBack ? eTransactionText::RollBack : eTransactionText::Other;
}
