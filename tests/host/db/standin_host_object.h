#pragma once

// What the host's stand-in objects share: the five version slots and the
// reference pair (slots 5 and 6) that open each host interface, with the
// reference bookkeeping. The host owns these objects (tests make them on the
// stack or keep them for the whole test); the driver only takes and drops
// references, so the count never deletes anything: tests read the balance
// at teardown to see that every reference the driver took was given back.
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

// A host interface I whose slots 5 and 6 are ExternalAddRef and
// nExternalRelease, with its version (slot 0) settable.
template <class I>
class StandinHostObject : public I
{
public:
    StandinHostObject() = default;
    StandinHostObject(const StandinHostObject&) = delete;
    StandinHostObject& operator=(const StandinHostObject&) = delete;
    ~StandinHostObject() = default;

    void SetVersion(int nVersion) { m_nVersion = nVersion; }
    const StandinRefCount& Refs() const { return m_refs; }

    int nGetVersion() const override { return m_nVersion; }
    int nGetCompatSince() const override { return 1; }
    int nGetNAVersion() const override { return -1; }
    int nGetNACompatSince() const override { return -1; }
    void NAVersion_EmptySlot_3() override {}
    void ExternalAddRef() override { m_refs.Take(); }
    unsigned nExternalRelease() override { return m_refs.Drop(); }

private:
    int m_nVersion = 1;
    StandinRefCount m_refs;
};
