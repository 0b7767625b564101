#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "native/model/obj_alloc.h"

// CMemBTree: an ordered index held in memory. Keys are fixed-size byte
// strings, each with one or more fixed-size values (none in a tree of keys
// only), ordered by the caller's comparison functions: keys first, then the
// values of one key. It knows no database type.
//
// Shape:
// - Nodes come from pools (obj_alloc.h): inner nodes, leaves, and one pool per
//   size class of duplicate buckets (mem_bucket.h).
// - The root is always an inner node (kind 3), even over a single leaf. Inner
//   key i separates children i and i + 1: every key of child i is below it,
//   every key of child i + 1 at or above it.
// - Every node keeps the record count of its subtree, duplicates included, so
//   that positioning by record number costs the depth, not a scan.
// - A key with more than one value keeps them in a bucket; bit i of the leaf
//   says that value slot i holds a bucket pointer instead of a value.
// - Leaves are chained in key order; all lie at one depth.
//
// The tree's position is one of: none (only in an empty tree), the end (the
// last leaf with an index equal to its key count), or a key (index below the
// count) and, for a key with a bucket, one of its values. Every change carries
// the position with its record; removing the record at the position moves it
// to the record that followed (or the end).
//
// Operations answer 0 or null for absent keys, duplicate records, an empty
// tree, or memory that could not be had, and then leave the tree as it was.

using PFMEMBTREECOMPARE = int (*)(const void* pA, const void* pB, unsigned long nSize);

// First word of every node.
struct CMemNode
{
    static constexpr uint32_t kInner = 1;
    static constexpr uint32_t kLeaf = 2;
    static constexpr uint32_t kRoot = 3;

    uint32_t m_nType;
    uint32_t m_nNumKey;
    uint32_t m_nNumRecord;
};

// Followed by (order + 1) child pointers, then order keys.
struct CMemIndexNode : CMemNode
{
};

// Followed by the bucket bits (ceil(order / 32) words), the value slots and
// the keys; a leaf of a tree without values has only the keys.
struct CMemDataNode : CMemNode
{
    CMemDataNode* m_pPrev;
    CMemDataNode* m_pNext;
};

// A place inside one key's bucket: the value index of a vector bucket, or the
// nested tree's leaf and key index of a tree bucket.
struct SMemBucketPos
{
    CMemDataNode* m_pLeaf = nullptr;
    int m_nIndex = 0;
};

class CMemBucket;

class CMemBTree
{
public:
    // pSearch flags.
    static constexpr int kSearchExact = 1;
    static constexpr int kSearchLast = 2;
    // bAdvance flags.
    static constexpr int kAdvanceByKey = 1;
    static constexpr int kAdvancePartial = 2;
    static constexpr int kAdvanceAllowEnd = 4;

    class CIterator
    {
    public:
        CMemBTree* m_pTree = nullptr;
        CMemDataNode* m_pLeaf = nullptr;
        int m_nKey = 0;
        SMemBucketPos m_stDup;
    };

    CMemBTree();
    CMemBTree(const CMemBTree&) = delete;
    CMemBTree& operator=(const CMemBTree&) = delete;
    ~CMemBTree();

    // Order 0 gives 32 keys per node and a minimum fill of 16; order n >= 2
    // gives n and n / 2. Order 1 is refused: a split leaf would keep one key
    // and could then take a second. 0 as well for a key size of 0, a missing
    // comparison, a tree already set up, or memory that could not be had.
    int bInit(unsigned long nKeySize, unsigned long nValueSize, PFMEMBTREECOMPARE pfKeyCompare,
              PFMEMBTREECOMPARE pfValueCompare, int nOrder);
    // A new tree set up by bInit, or null; freed with delete.
    static CMemBTree* pclCreate(unsigned long nKeySize, unsigned long nValueSize, PFMEMBTREECOMPARE pfKeyCompare,
                                PFMEMBTREECOMPARE pfValueCompare, int nOrder);

    // 0 when the key and value are present already (the key, in a tree
    // without values).
    int bInsert(const void* pKey, const void* pValue);
    // A null value removes the key with all its values.
    int bDelete(const void* pKey, const void* pValue);
    // Replaces the content by n records taken from two arrays (values ignored
    // without values), sorted first. 0, with the tree unchanged, on a repeated
    // key and value, or a repeated key in a tree without values.
    int bLoadBulk(const void* pKeys, const void* pValues, int n);

    // Positions the tree and answers the value there (null without values).
    // Without kSearchLast a missing key gives the next greater key, with it the
    // last value of the key or of the greatest smaller one; kSearchExact
    // accepts only the key. The position changes only when a record is found.
    void* pSearch(const void* pKey, int nFlags);
    // Positions the tree on that record when it exists.
    int bFindRecord(const void* pKey, const void* pValue);

    void* pReadKey() const;
    void* pReadValue() const;
    int nNumDuplicates() const;
    int nGetNumRecord() const { return m_pRoot != nullptr ? static_cast<int>(m_pRoot->m_nNumRecord) : 0; }
    int nGetNumKey() const { return static_cast<int>(m_nNumKey); }
    int bDeleteCurrentRecord();

    void GotoFirstRecord();
    void GotoEnd();
    // The n-th record from 0 (duplicates one by one); n < 0 gives the first,
    // n at or past the record count the end.
    void MoveTo(int n);
    // Moves by nCount records (keys with kAdvanceByKey: a key counts once and
    // is entered at its first value). kAdvancePartial accepts a shorter move
    // of at least one step, kAdvanceAllowEnd the end as a landing place; a
    // forward move that reaches the end without it steps back once. The
    // position changes only on success; *pnMoved gets the signed steps made
    // either way. Count 0 tells whether the position is on a record.
    int bAdvance(int nCount, int* pnMoved, int nFlags);

    // Copies every key in order into the buffer (nGetNumKey() keys) and
    // answers the count.
    int __nDumpKeys(void* pBuffer) const;

    const CIterator& clGetPosition() const { return m_clPosition; }

private:
    friend class CMemBucket;
    friend class CMemBTreeInspector;  // tests walk the nodes through it

    static constexpr int kMaxDepth = 64;
    static constexpr size_t kInnerChildrenOffset = 16;
    static_assert(sizeof(CMemIndexNode) <= kInnerChildrenOffset);

    // The inner nodes from the root down to a leaf, with the child taken in
    // each.
    struct SPath
    {
        CMemIndexNode* apNode[kMaxDepth];
        int anChild[kMaxDepth];
        int nDepth = 0;
        CMemDataNode* pLeaf = nullptr;
    };

    // Node layout.
    unsigned char* _pInnerKey(CMemIndexNode* p, int i) const
    {
        return reinterpret_cast<unsigned char*>(p) + m_nInnerKeysOffset + static_cast<size_t>(i) * m_nKeySize;
    }
    CMemNode** _ppChildren(CMemIndexNode* p) const
    {
        return reinterpret_cast<CMemNode**>(reinterpret_cast<unsigned char*>(p) + kInnerChildrenOffset);
    }
    unsigned char* _pKey(CMemDataNode* p, int i) const
    {
        return reinterpret_cast<unsigned char*>(p) + m_nLeafKeysOffset + static_cast<size_t>(i) * m_nKeySize;
    }
    unsigned char* _pSlot(CMemDataNode* p, int i) const
    {
        return reinterpret_cast<unsigned char*>(p) + m_nLeafSlotsOffset + static_cast<size_t>(i) * m_nValueSlotSize;
    }
    uint32_t* _pBits(CMemDataNode* p) const { return reinterpret_cast<uint32_t*>(p + 1); }
    bool _bHasBucket(CMemDataNode* p, int i) const
    {
        return m_nValueSize != 0 && (_pBits(p)[i / 32] >> (i % 32) & 1u) != 0;
    }
    void _SetBucketBit(CMemDataNode* p, int i, bool b) const;
    CMemBucket* _pBucket(CMemDataNode* p, int i) const;
    void _SetBucket(CMemDataNode* p, int i, CMemBucket* pBucket) const;
    uint32_t _nKeyRecords(CMemDataNode* p, int i) const;

    // Pools.
    CMemIndexNode* _pclNewInner();
    CMemDataNode* _pclNewLeaf();
    void _FreeNode(CMemNode* p);
    void* _pAllocBucket(int nClass);
    void _FreeBucket(CMemBucket* p);
    void _DestroyBucket(CMemBucket* p);
    void _FreeSubtree(CMemNode* p);
    void _FreeAll();

    // Search: the index of the item, or where it would go (the first greater).
    static int g_nBinarySearch(const unsigned char* pItems, int nCount, unsigned long nSize,
                               PFMEMBTREECOMPARE pfCompare, const void* pItem, bool* pbFound);
    int _nSearch(const unsigned char* pKeys, int nCount, const void* pKey, bool* pbFound) const;
    int _nChildIndex(CMemIndexNode* p, const void* pKey) const;
    CMemDataNode* _pDescend(const void* pKey, SPath* pPath) const;
    // The leaf the key belongs in, with the key's index there (or its
    // insertion point); null in an empty tree.
    CMemDataNode* _pLocate(const void* pKey, SPath* pPath, int* pnIndex, bool* pbFound) const;
    CMemDataNode* _pFirstLeaf() const;
    CMemDataNode* _pLastLeaf() const;
    bool _bOnKey(const CIterator& it) const { return it.m_pLeaf != nullptr && it.m_nKey < static_cast<int>(it.m_pLeaf->m_nNumKey); }
    bool _bAtEnd(const CIterator& it) const;
    void _SetDupFirst(CIterator* pIt) const;
    void _SetDupLast(CIterator* pIt) const;
    // The first value of the key after the iterator's key (or the end).
    void _ToNextKey(CIterator* pIt) const;
    int64_t _nRankOf(const CIterator& it) const;
    void _LocateRank(int64_t n, CIterator* pIt) const;
    int _bAdvanceByRank(const CIterator& it, int nCount, int* pnMoved, int nFlags);
    int _bAdvanceByKey(const CIterator& it, int nCount, int* pnMoved, int nFlags);
    int _bStepOne(CIterator* pIt, bool bForward, int nFlags) const;
    void _ClearPosition();

    // Leaf edits; the tree's position follows the keys.
    static void _MoveBits(uint32_t* pDst, int d, const uint32_t* pSrc, int s, int n);
    void _LeafOpen(CMemDataNode* p, int i, int n);
    void _LeafClose(CMemDataNode* p, int i, int n);
    void _LeafMove(CMemDataNode* pDst, int d, CMemDataNode* pSrc, int s, int n);
    void _LeafInsertKey(CMemDataNode* p, int i, const void* pKey, const void* pValue);
    void _Unchain(CMemDataNode* p);

    // Inner edits.
    void _InnerInsert(CMemIndexNode* p, int i, const void* pKey, CMemNode* pChild);
    void _InnerInsertFront(CMemIndexNode* p, const void* pKey, CMemNode* pChild);
    void _InnerRemove(CMemIndexNode* p, int i);
    void _InnerRemoveFront(CMemIndexNode* p);
    uint32_t _nSumChildren(CMemIndexNode* p) const;
    void _CopyKey(void* pDst, const void* pSrc) const;

    // Insertion.
    struct SReserve;
    int _bReserve(const SPath& path, SReserve* pReserve);
    void _Release(SReserve* pReserve);
    int _bInsertExisting(const SPath& path, int i, const void* pValue);
    void _InsertInFullLeaf(const SPath& path, int ip, const void* pKey, const void* pValue, SReserve* pReserve,
                           const unsigned char** ppUpKey, CMemNode** ppUpChild);
    void _InsertInFullInner(const SPath& path, int nLevel, const unsigned char* pKey, CMemNode* pChild,
                            SReserve* pReserve, const unsigned char** ppUpKey, CMemNode** ppUpChild);
    unsigned char* _pOtherUpBuffer(const unsigned char* p) const;

    // Deletion.
    int _bDelete(const void* pKey, const void* pValue);
    int _bDeleteInBucket(const SPath& path, int i, const void* pValue);
    bool _bRebalance(CMemIndexNode* pParent, int c, bool bLeaf);
    void _Merge(CMemIndexNode* pParent, int i, bool bLeaf);
    void _BorrowFromRight(CMemIndexNode* pParent, int c, bool bLeaf);
    void _BorrowFromLeft(CMemIndexNode* pParent, int c, bool bLeaf);

    // Bulk build from sorted records: key i at pFirstKey + i * nStride, its
    // value right after the key.
    int _nCompareRecord(const unsigned char* pA, const unsigned char* pB) const;
    void _QuickSort(unsigned char* pBase, size_t n, size_t nRecord, unsigned char* pPivot, unsigned char* pSwap) const;
    int __bBuildFromVector(const unsigned char* pFirstKey, size_t nStride, int n);
    bool _bFillLeaf(CMemDataNode* p, const unsigned char** ppRecord, const unsigned char* pEnd, size_t nStride,
                    int nKeys);
    const unsigned char* _pSubtreeMinKey(CMemNode* p);

    std::optional<CTObjAlloc> m_oInnerPool;
    std::optional<CTObjAlloc> m_oLeafPool;
    int m_nOrder = 0;
    int m_nMinFill = 0;
    PFMEMBTREECOMPARE m_pfKeyCompare = nullptr;
    PFMEMBTREECOMPARE m_pfValueCompare = nullptr;
    unsigned long m_nKeySize = 0;
    unsigned long m_nValueSize = 0;
    unsigned long m_nValueSlotSize = 0;
    std::optional<CTObjAlloc> m_aoBucketPools[7];
    CMemIndexNode* m_pRoot = nullptr;
    uint32_t m_nNumKey = 0;
    CIterator m_clPosition;

    size_t m_nInnerSize = 0;
    size_t m_nInnerKeysOffset = 0;
    size_t m_nLeafSize = 0;
    size_t m_nLeafSlotsOffset = 0;
    size_t m_nLeafKeysOffset = 0;
    // Copies that must outlive node edits: two keys moving up through splits,
    // the first key reported up after a deletion, and the key and value of the
    // record being inserted or deleted (callers may pass addresses inside the
    // tree, such as pReadKey's).
    unsigned char* m_pScratch = nullptr;
    unsigned char* _pUpKeyA() const { return m_pScratch; }
    unsigned char* _pUpKeyB() const { return m_pScratch + m_nKeySize; }
    unsigned char* _pReportKey() const { return m_pScratch + 2 * m_nKeySize; }
    unsigned char* _pCurrentKey() const { return m_pScratch + 3 * m_nKeySize; }
    unsigned char* _pCurrentValue() const { return m_pScratch + 4 * m_nKeySize; }
};
