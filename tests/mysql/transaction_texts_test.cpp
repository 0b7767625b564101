// The transaction statements read from a host's SQL text: which texts are
// one plain roll-back (the only text that ends a transaction marked ended),
// and which hold a statement that would commit what the server holds.
#include <gtest/gtest.h>

#include "mysql/transaction_texts.h"

namespace {

TEST(TransactionTexts, EachTextIsReadAsTheServerSplitsIt)
{
    using K = eTransactionText;
    const struct
    {
        const char* pszSQL;
        K eExpected;
    } cases[] = {
        // Plain roll-backs, in every form the statement takes.
        {"ROLLBACK", K::RollBack},
        {" rollback work ; ", K::RollBack},
        {"ROLLBACK AND NO CHAIN", K::RollBack},
        {"ROLLBACK WORK AND NO CHAIN", K::RollBack},
        {"rollback and chain no release", K::RollBack},
        {"ROLLBACK WORK AND NO CHAIN NO RELEASE", K::RollBack},
        {"ROLLBACK RELEASE", K::RollBack},
        {"/* c */ ROLLBACK", K::RollBack},
        {"ROLLBACK /* c */", K::RollBack},
        {"ROLLBACK -- c", K::RollBack},
        {"ROLLBACK --", K::RollBack},
        {"-- c\nROLLBACK", K::RollBack},
        {"ROLLBACK # c", K::RollBack},
        {"#c\n ROLLBACK;;; ;", K::RollBack},
        {"ROLL/* c */BACK", K::Other},
        {"ROLLBACK/* c */WORK", K::RollBack},
        {"/*!ROLLBACK*/", K::RollBack},
        // Not a plain roll-back.
        {"ROLLBACK TO SAVEPOINT s", K::Other},
        {"ROLLBACK WORK TO s", K::Other},
        {"ROLLBACK; UPDATE t SET v = 1", K::Other},
        {"UPDATE t SET v = 1; ROLLBACK", K::Other},
        {"ROLLBACK; ROLLBACK", K::Other},
        {"ROLLBACK AND", K::Other},
        {"ROLLBACK AND NO", K::Other},
        {"ROLLBACK NO", K::Other},
        {"ROLLBACK WORK WORK", K::Other},
        {"ROLLBACK --c", K::Other},
        {"ROLLBACK 'x'", K::Other},
        {"SELECT 'ROLLBACK'", K::Other},
        {"-- ROLLBACK", K::Other},
        {"/* ROLLBACK */", K::Other},
        {"", K::Other},
        {";", K::Other},
        {"ROLLBACKWORK", K::Other},
        // A statement that would commit, anywhere in the text.
        {"COMMIT", K::Commit},
        {"commit work and no chain", K::Commit},
        {"/* c */ COMMIT;", K::Commit},
        {"BEGIN", K::Commit},
        {"begin work", K::Commit},
        {"START TRANSACTION", K::Commit},
        {"start transaction read only", K::Commit},
        {"RELEASE SAVEPOINT s", K::Commit},
        {"UPDATE t SET v = 1; COMMIT", K::Commit},
        {"SELECT ';'; COMMIT", K::Commit},
        {"/*!COMMIT*/", K::Commit},
        {"/*M!100100 COMMIT */", K::Commit},
        // Words in strings, names and comments, and compound statements.
        {"SELECT 'a;COMMIT'", K::Other},
        {"SELECT 'it''s; COMMIT'", K::Other},
        {"SELECT 'a\\';COMMIT'", K::Other},
        {"SELECT \"x\"\";COMMIT\"", K::Other},
        {"SELECT `;COMMIT`", K::Other},
        {"SELECT 1 /* ; COMMIT */", K::Other},
        {"SELECT 1 -- ; COMMIT", K::Other},
        {"SELECT 1 # ; COMMIT", K::Other},
        {"BEGIN NOT ATOMIC SELECT 1; END", K::Other},
        {"SAVEPOINT s", K::Other},
        {"COMMITTED", K::Other},
        {"UPDATE t SET begin = 1", K::Other},
        {"averyveryverylongname COMMIT", K::Other},
        {"SELECT 'unterminated; COMMIT", K::Other},
        {"SELECT 1 /* unterminated ; COMMIT", K::Other},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.eExpected, g_eTransactionText(c.pszSQL)) << c.pszSQL;
    EXPECT_EQ(K::Other, g_eTransactionText(nullptr));
}

}  // namespace
