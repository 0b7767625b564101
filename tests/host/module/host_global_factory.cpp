#include "tests/host/module/host_global_factory.h"

int StandinGlobalFactory::vnGetVersion()
{
    ++m_calls;
    return m_answer;
}

void StandinGlobalFactory::Reset()
{
    m_answer = kDefaultAnswer;
    m_calls = 0;
}
