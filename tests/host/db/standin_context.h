#pragma once

// One of the host's execution contexts, stood in for: both identifiers the
// driver reads (the context's id and the data key of the data source being
// worked on) are settable 64-bit values.
#include "native/driver/host_context.h"
#include "tests/host/db/standin_ref_count.h"

class StandinContext : public INAContext
{
public:
    StandinContext(unsigned long dwCtxID = 1, unsigned long dwDataID = 1) : m_dwCtxID(dwCtxID), m_dwDataID(dwDataID) {}
    StandinContext(const StandinContext&) = delete;
    StandinContext& operator=(const StandinContext&) = delete;
    ~StandinContext() = default;

    void SetCtxID(unsigned long dw) { m_dwCtxID = dw; }
    void SetDataID(unsigned long dw) { m_dwDataID = dw; }
    const StandinRefCount& Refs() const { return m_refs; }

    int nGetVersion() const override { return 1; }
    int nGetCompatSince() const override { return 1; }
    int nGetNAVersion() const override { return -1; }
    int nGetNACompatSince() const override { return -1; }
    void NAVersion_EmptySlot_3() override {}
    void ExternalAddRef() override { m_refs.Take(); }
    unsigned nExternalRelease() override { return m_refs.Drop(); }
    unsigned long dwGetDataID() const override { return m_dwDataID; }
    unsigned long dwGetCtxID() const override { return m_dwCtxID; }

private:
    unsigned long m_dwCtxID;
    unsigned long m_dwDataID;
    StandinRefCount m_refs;
};
