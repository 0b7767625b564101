#pragma once

// The reference bookkeeping of the host's stand-in objects. The host owns
// them (tests make them on the stack or keep them for the whole test); the
// driver only takes and drops references, so the count never deletes
// anything: tests read the balance at teardown to see that every reference
// the driver took was given back.
class StandinRefCount
{
public:
    void Take() { ++m_nTaken; }
    // The count left, as the host's release answers it.
    unsigned Drop()
    {
        ++m_nDropped;
        return static_cast<unsigned>(nBalance() > 0 ? nBalance() : 0);
    }
    int nTaken() const { return m_nTaken; }
    int nDropped() const { return m_nDropped; }
    // Taken minus dropped: 0 when the driver gave back all it took, negative
    // when it dropped what it never took.
    int nBalance() const { return m_nTaken - m_nDropped; }

private:
    int m_nTaken = 0;
    int m_nDropped = 0;
};
