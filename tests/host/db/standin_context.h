#pragma once

// One of the host's execution contexts, stood in for: both identifiers the
// driver reads (the context's id and the data key of the data source being
// worked on) are settable 64-bit values.
#include "native/driver/host_context.h"
#include "tests/host/db/standin_host_object.h"

class StandinContext final : public StandinHostObject<INAContext>
{
public:
    StandinContext(unsigned long dwCtxID = 1, unsigned long dwDataID = 1) : m_dwCtxID(dwCtxID), m_dwDataID(dwDataID) {}

    void SetCtxID(unsigned long dw) { m_dwCtxID = dw; }
    void SetDataID(unsigned long dw) { m_dwDataID = dw; }

    unsigned long dwGetDataID() const override { return m_dwDataID; }
    unsigned long dwGetCtxID() const override { return m_dwCtxID; }

private:
    unsigned long m_dwCtxID;
    unsigned long m_dwDataID;
};
