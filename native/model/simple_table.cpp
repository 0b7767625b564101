// The blocks and entries of a block table.
#include "native/model/simple_table.h"

#include <algorithm>
#include <cstring>

#include "common/system/xmalloc.h"

namespace {

// Blocks are listed ten at a time.
constexpr int kBlockListStep = 10;
// The block list doubles its settings as this block is made.
constexpr int kBlocksBeforeDoubling = 5;

uint64_t llSaturatedProduct(uint64_t a, uint64_t b)
{
    uint64_t llProduct;
    return __builtin_mul_overflow(a, b, &llProduct) ? UINT64_MAX : llProduct;
}

}  // namespace

CSimpleTableBlocks::CSimpleTableBlocks(int nGrowCount, uint64_t llBlockSize)
    : m_tabEntries(std::max(nGrowCount, 1)), m_tabBlocks(kBlockListStep), m_nGrowCount(nGrowCount),
      m_llBlockSize(llBlockSize)
{
}

CSimpleTableBlocks::~CSimpleTableBlocks()
{
    Vide();
}

unsigned char* CSimpleTableBlocks::pbyGetElement(int n) const
{
    if (bReserved(n))
        return nullptr;
    const stENTRY& stEntry = m_tabEntries[n];
    return m_tabBlocks[stEntry.nBlock].pbyBase + stEntry.llOffset + kLengthSize;
}

unsigned char* CSimpleTableBlocks::pbyGetElement(int n, uint64_t* pllLength) const
{
    unsigned char* pbyData = pbyGetElement(n);
    *pllLength = 0;
    if (pbyData != nullptr)
        std::memcpy(pllLength, pbyData - kLengthSize, sizeof *pllLength);
    return pbyData;
}

uint64_t CSimpleTableBlocks::llGetElementLength(int n) const
{
    uint64_t llLength;
    (void)pbyGetElement(n, &llLength);
    return llLength;
}

void CSimpleTableBlocks::Vide()
{
    for (int i = 0; i < m_tabBlocks.nGetNbElement(); ++i)
        XMALLOC_Del_(m_tabBlocks[i].pbyBase);
    m_tabBlocks.SupprimeToutEtLibere();
    m_tabEntries.SupprimeToutEtLibere();
}

void CSimpleTableBlocks::SetGrowStep(int nCount, uint64_t llBlockSize)
{
    if (nCount > 0) {
        m_nGrowCount = nCount;
        m_tabEntries.m_nPas = nCount;
    }
    if (llBlockSize > 0)
        m_llBlockSize = llBlockSize;
}

bool CSimpleTableBlocks::_bNewBlock(uint64_t llNeed)
{
    if (!m_tabBlocks.AgranditMemoire(1))
        return false;
    int nGrowCount = m_nGrowCount;
    uint64_t llBlockSize = m_llBlockSize;
    const bool bDouble = !m_bDoubled && m_tabBlocks.nGetNbElement() == kBlocksBeforeDoubling;
    if (bDouble) {
        if (nGrowCount > 0)
            nGrowCount = nGrowCount <= INT32_MAX / 2 ? nGrowCount * 2 : INT32_MAX;
        if (llBlockSize > 0)
            llBlockSize = llBlockSize <= UINT64_MAX / 2 ? llBlockSize * 2 : UINT64_MAX;
    }
    const uint64_t llCapacity =
        std::max(llNeed, std::min(llBlockSize, llSaturatedProduct(static_cast<uint64_t>(std::max(nGrowCount, 0)), llNeed)));
    if (llCapacity > SIZE_MAX)
        return false;
    auto* pbyBase = static_cast<unsigned char*>(XMALLOC_pNew_(static_cast<size_t>(llCapacity)));
    if (pbyBase == nullptr)
        return false;
    // The settings change only once the block is there: a failure leaves
    // the table as it was.
    if (bDouble) {
        m_bDoubled = true;
        m_nGrowCount = nGrowCount;
        m_llBlockSize = llBlockSize;
        m_tabEntries.m_nPas = std::max(nGrowCount, 1);
    }
    (void)m_tabBlocks.Ajoute(stBUFFERINFO{pbyBase, 0, llCapacity});
    return true;
}

unsigned char* CSimpleTableBlocks::_pbyAllocElement(uint64_t llLength, stENTRY* pstEntry)
{
    if (llLength > UINT64_MAX - kLengthSize)
        return nullptr;
    const uint64_t llNeed = llLength + kLengthSize;
    const int nBlocks = m_tabBlocks.nGetNbElement();
    const bool bFits = nBlocks > 0 && m_tabBlocks[nBlocks - 1].llCapacity - m_tabBlocks[nBlocks - 1].llUsed >= llNeed;
    if (!bFits && !_bNewBlock(llNeed))
        return nullptr;
    const int nBlock = m_tabBlocks.nGetNbElement() - 1;
    stBUFFERINFO& stBlock = m_tabBlocks[nBlock];
    const uint64_t llOffset = stBlock.llUsed;
    stBlock.llUsed += llNeed;
    unsigned char* pbyElement = stBlock.pbyBase + llOffset;
    std::memcpy(pbyElement, &llLength, sizeof llLength);
    *pstEntry = stENTRY{llOffset, nBlock, 0};
    return pbyElement + kLengthSize;
}

unsigned char* CSimpleTableBlocks::_pbyReuseElement(int n, uint64_t llLength)
{
    unsigned char* pbyData = pbyGetElement(n);
    if (pbyData == nullptr || llGetElementLength(n) < llLength)
        return nullptr;
    std::memcpy(pbyData - kLengthSize, &llLength, sizeof llLength);
    return pbyData;
}
