#pragma once

// What a host's SQL text does to the open transaction, read from its words
// alone, as the server would split and read them: statements end at a
// semicolon outside quotes and comments; blanks and comments ("/* */",
// "-- ", "#") separate words; the code inside an executable comment
// ("/*!", "/*M!") counts as code. Keywords are compared as ASCII without
// case. Nothing here runs or changes a text: the connection asks before it
// sends one.

enum class eTransactionText
{
    // None of the kinds below.
    Other,
    // The whole text is one plain roll-back of the transaction: ROLLBACK
    // [WORK] [AND [NO] CHAIN] [[NO] RELEASE], with any final semicolons; not
    // ROLLBACK TO SAVEPOINT, nor a text that holds a second statement.
    RollBack,
    // A statement of the text commits the open transaction or begins
    // another (which commits it first): COMMIT ..., BEGIN [WORK], START
    // TRANSACTION ...; or releases a savepoint (RELEASE SAVEPOINT ...).
    Commit,
};

// A null text is Other.
eTransactionText g_eTransactionText(const char* pszSQL);
