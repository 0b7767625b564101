#pragma once

#include <cstddef>
#include <cstdint>

#include "native/model/mem_btree.h"

// CMemBucket: the values of one key of a CMemBTree that has more than one.
// A bucket lives in the owner tree's pool of its size class and holds at least
// 2 values (a key with one value keeps it in its leaf slot).
//
// - Classes 0 to 5 are sorted vectors of at most 2, 4, 8, 16, 32 and 64
//   values. A full vector grows to the next class; a removal at or below the
//   class minimum shrinks it to the class below. The minimums overlap the
//   class below's maximum, so a bucket does not change class on every step
//   at a boundary.
// - Class 6 holds a nested tree of keys only: its keys are the values (key
//   size = the owner's value size, compared by the owner's value comparison,
//   the owner's order). The 65th value makes it; a removal down to 55 values
//   turns it back into a vector.
// - Changes that need another class answer a new bucket; the owner frees the
//   old one. They answer null for a value already present (insertion), an
//   absent value (removal) or memory that could not be had, and change nothing
//   then.
// - The owner passes its own position's place in the bucket when its position
//   lies on this key: the bucket keeps it on the same value through the change
//   (on the following value when that very value is removed; the owner never
//   lets it pass the last one).
class CMemBucket
{
public:
    struct SThreshold
    {
        uint16_t nMin;
        uint16_t nMax;  // 0: no maximum (tree form)
    };
    static const SThreshold mg_stTabSizeThreshold[7];
    static constexpr int kNumClass = 7;
    static constexpr int kTreeClass = 6;
    static constexpr uint16_t kTreeCount = 0xFFFF;
    // The tree form leaves the vector form below this count.
    static constexpr int kTreeMin = 56;

    // Object size of a class for the owner's value size.
    static size_t nGetFullSize(const CMemBTree* pTree, int nClass);
    size_t nRealObjSize(const CMemBTree* pTree) const { return nGetFullSize(pTree, m_nClass); }
    int nGetClass() const { return m_nClass; }
    bool bIsTree() const { return m_nClass == kTreeClass; }
    int nGetNumKey() const;
    // The first value of a vector bucket.
    const void* pGetOnlyKey() const { return _pValues(); }
    CMemBTree* pclGetTree() { return reinterpret_cast<CMemBTree*>(reinterpret_cast<unsigned char*>(this) + kDataOffset); }
    const CMemBTree* pclGetTree() const
    {
        return reinterpret_cast<const CMemBTree*>(reinterpret_cast<const unsigned char*>(this) + kDataOffset);
    }

    // A class-0 bucket holding two different values; null without memory.
    static CMemBucket* g_pclCreatePair(CMemBTree* pTree, const void* pA, const void* pB);
    // A bucket of n sorted, distinct values (value i at pFirst + i * nStride),
    // of the smallest class that holds them; null without memory.
    static CMemBucket* g_pclCreateSorted(CMemBTree* pTree, const unsigned char* pFirst, size_t nStride, int n);
    // Frees the bucket (and its nested tree) into the owner's pool.
    static void g_Destroy(CMemBTree* pTree, CMemBucket* p);

    CMemBucket* pclInsert(CMemBTree* pTree, const void* pValue, SMemBucketPos* pOwnerPos);
    CMemBucket* pclDelete(CMemBTree* pTree, const void* pValue, SMemBucketPos* pOwnerPos);

    // Places the position on the value (or, for a vector, on the first greater
    // one) and tells whether it is present.
    int bSearch(const CMemBTree* pTree, SMemBucketPos* pPos, const void* pValue);
    void* pGetValue(const CMemBTree* pTree, const SMemBucketPos* pPos);
    void GotoFirstRecord(SMemBucketPos* pPos);
    void GotoLastRecord(SMemBucketPos* pPos);
    void GotoRecord(SMemBucketPos* pPos, int n);
    // Move by up to n values, stopping on the last (first) one; answer the
    // values moved.
    int nMoveForward(SMemBucketPos* pPos, int n);
    int nMoveBackward(SMemBucketPos* pPos, int n);
    // The index of the position's value.
    int64_t nRank(const SMemBucketPos* pPos);

private:
    static constexpr size_t kDataOffset = 8;

    unsigned char* _pValues() { return reinterpret_cast<unsigned char*>(this) + kDataOffset; }
    const unsigned char* _pValues() const { return reinterpret_cast<const unsigned char*>(this) + kDataOffset; }
    static CMemBucket* _pclNewVector(CMemBTree* pTree, int nClass);
    static CMemBucket* _pclNewTree(CMemBTree* pTree, const unsigned char* pFirst, size_t nStride, int n);
    int _nFind(const CMemBTree* pTree, const void* pValue, bool* pbFound) const;
    CMemBucket* _pclGrowToTree(CMemBTree* pTree, const void* pValue, SMemBucketPos* pOwnerPos);
    CMemBucket* _pclShrinkToVector(CMemBTree* pTree, const void* pValue, SMemBucketPos* pOwnerPos);
    // Runs a nested-tree operation with the nested position set from the
    // owner's place (or cleared), and copies it back.
    void _EnterTree(const SMemBucketPos* pOwnerPos);
    void _LeaveTree(SMemBucketPos* pOwnerPos);

    uint16_t m_nNumKey;  // kTreeCount in tree form
    uint16_t m_nClass;
};
