#pragma once

// Walks the nodes of a CMemBTree for the tests (it is the tree's friend) and
// checks everything the tree promises: node kinds, key order along the leaf
// chain and against the separators, one depth for all leaves, fill limits,
// record counts at every level, buckets within their class bounds, pool
// counts equal to the objects reachable from the root, and a position that is
// none, the end, or on a key (and on a value of its bucket).
#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "native/model/mem_btree.h"
#include "native/model/mem_bucket.h"

class CMemBTreeInspector
{
public:
    enum class Where { None, End, OnKey };

    // A nested tree (a bucket's) keeps no position of its own between
    // operations.
    explicit CMemBTreeInspector(const CMemBTree& tree, bool bNested = false) : m_t(tree), m_bNested(bNested) {}

    // Empty when every invariant holds; otherwise what is wrong first.
    std::string Check() const
    {
        Walk w;
        if (m_t.m_pRoot == nullptr) {
            if (m_t.m_nNumKey != 0) return "empty tree with a key count";
            if (m_t.m_clPosition.m_pLeaf != nullptr) return "empty tree with a position";
        } else {
            if (m_t.m_pRoot->m_nType != CMemNode::kRoot) return "root is not of kind 3";
            if (m_t.m_pRoot->m_nNumKey == 0 && m_t._ppChildren(m_t.m_pRoot)[0]->m_nType != CMemNode::kLeaf)
                return "root without key over an inner node";
            _Node(m_t.m_pRoot, 0, nullptr, nullptr, &w);
            if (!w.error.empty()) return w.error;
            if (w.nKeys != m_t.m_nNumKey) return "key count differs from the keys held";
            if (w.leaves.size() > 1) {
                for (CMemDataNode* p : w.leaves) {
                    if (static_cast<int>(p->m_nNumKey) < m_t.m_nMinFill) return "leaf below the minimum fill";
                }
            }
            for (size_t i = 0; i < w.leaves.size(); ++i) {
                CMemDataNode* p = w.leaves[i];
                if (p->m_pPrev != (i > 0 ? w.leaves[i - 1] : nullptr)) return "broken leaf chain (prev)";
                if (p->m_pNext != (i + 1 < w.leaves.size() ? w.leaves[i + 1] : nullptr))
                    return "broken leaf chain (next)";
                if (i > 0 && m_t.m_pfKeyCompare(m_t._pKey(w.leaves[i - 1], static_cast<int>(w.leaves[i - 1]->m_nNumKey) - 1),
                                                m_t._pKey(p, 0), m_t.m_nKeySize) >= 0)
                    return "keys not ascending across leaves";
            }
            std::string e = m_bNested && m_t.m_clPosition.m_pLeaf == nullptr ? std::string() : _CheckPosition(w);
            if (!e.empty()) return e;
        }
        if (m_t.m_oInnerPool.has_value()) {
            if (m_t.m_oInnerPool->nGetNumAllocated() != w.nInner) return "inner pool count differs from inner nodes";
            if (m_t.m_oLeafPool->nGetNumAllocated() != w.leaves.size()) return "leaf pool count differs from leaves";
            for (int c = 0; c < CMemBucket::kNumClass; ++c) {
                const unsigned n = m_t.m_aoBucketPools[c].has_value() ? m_t.m_aoBucketPools[c]->nGetNumAllocated() : 0;
                if (n != w.anBuckets[c]) return "bucket pool count differs from buckets of class " + std::to_string(c);
            }
        }
        return {};
    }

    Where Position() const
    {
        const CMemBTree::CIterator& it = m_t.m_clPosition;
        if (it.m_pLeaf == nullptr) return Where::None;
        return it.m_nKey < static_cast<int>(it.m_pLeaf->m_nNumKey) ? Where::OnKey : Where::End;
    }

    std::vector<int> LeafKeyCounts() const
    {
        std::vector<int> counts;
        for (CMemDataNode* p = m_t._pFirstLeaf(); p != nullptr; p = p->m_pNext) counts.push_back(static_cast<int>(p->m_nNumKey));
        return counts;
    }

    int Depth() const
    {
        int n = 0;
        for (CMemNode* p = m_t.m_pRoot; p != nullptr && p->m_nType != CMemNode::kLeaf;
             p = m_t._ppChildren(static_cast<CMemIndexNode*>(p))[0])
            ++n;
        return n;
    }

    // Separators that are not the first key of the subtree on their right
    // (still correct bounds, but stale).
    int StaleSeparators() const { return m_t.m_pRoot != nullptr ? _Stale(m_t.m_pRoot) : 0; }

    // Class of the bucket of the key, -1 when the key has a single value or
    // is absent.
    int BucketClass(const void* pKey) const
    {
        CMemBTree::SPath path;
        int i;
        bool bFound;
        CMemDataNode* p = m_t._pLocate(pKey, &path, &i, &bFound);
        if (p == nullptr || !bFound || !m_t._bHasBucket(p, i)) return -1;
        return m_t._pBucket(p, i)->nGetClass();
    }

    // Objects out in the tree's own pools (nested trees have theirs).
    unsigned PoolObjects() const
    {
        if (!m_t.m_oInnerPool.has_value()) return 0;
        unsigned n = m_t.m_oInnerPool->nGetNumAllocated() + m_t.m_oLeafPool->nGetNumAllocated();
        for (const auto& pool : m_t.m_aoBucketPools) n += pool.has_value() ? pool->nGetNumAllocated() : 0;
        return n;
    }
    const CTObjAlloc& InnerPool() const { return *m_t.m_oInnerPool; }
    const CTObjAlloc& LeafPool() const { return *m_t.m_oLeafPool; }
    const CTObjAlloc& BucketPool(int nClass) const { return *m_t.m_aoBucketPools[nClass]; }
    int Order() const { return m_t.m_nOrder; }
    int MinFill() const { return m_t.m_nMinFill; }

    // Every record as (key bytes, value bytes), in tree order.
    std::vector<std::pair<std::string, std::string>> Records() const
    {
        std::vector<std::pair<std::string, std::string>> out;
        for (CMemDataNode* p = m_t._pFirstLeaf(); p != nullptr; p = p->m_pNext) {
            for (int i = 0; i < static_cast<int>(p->m_nNumKey); ++i) {
                const std::string key(reinterpret_cast<const char*>(m_t._pKey(p, i)), m_t.m_nKeySize);
                for (const std::string& v : _Values(p, i)) out.emplace_back(key, v);
            }
        }
        return out;
    }

private:
    struct Walk
    {
        std::string error;
        std::vector<CMemDataNode*> leaves;
        int nLeafDepth = -1;
        unsigned nInner = 0;
        unsigned nKeys = 0;
        unsigned anBuckets[CMemBucket::kNumClass] = {};
    };

    std::vector<std::string> _Values(CMemDataNode* p, int i) const
    {
        std::vector<std::string> out;
        if (m_t.m_nValueSize == 0) {
            out.emplace_back();
        } else if (!m_t._bHasBucket(p, i)) {
            out.emplace_back(reinterpret_cast<const char*>(m_t._pSlot(p, i)), m_t.m_nValueSize);
        } else {
            CMemBucket* b = m_t._pBucket(p, i);
            if (b->bIsTree()) {
                for (const auto& r : CMemBTreeInspector(*b->pclGetTree()).Records()) out.push_back(r.first);
            } else {
                for (int k = 0; k < b->nGetNumKey(); ++k) {
                    SMemBucketPos pos{nullptr, k};
                    out.emplace_back(static_cast<const char*>(b->pGetValue(&m_t, &pos)), m_t.m_nValueSize);
                }
            }
        }
        return out;
    }

    // Keys of the subtree lie in [lo, hi) (null: unbounded).
    void _Node(CMemNode* p, int nDepth, const unsigned char* lo, const unsigned char* hi, Walk* w) const
    {
        if (!w->error.empty()) return;
        auto fail = [&](const std::string& e) {
            std::ostringstream s;
            s << e << " (depth " << nDepth << ")";
            w->error = s.str();
        };
        const int nOrder = m_t.m_nOrder;
        if (p->m_nType == CMemNode::kLeaf) {
            auto* leaf = static_cast<CMemDataNode*>(p);
            if (w->nLeafDepth < 0) w->nLeafDepth = nDepth;
            if (w->nLeafDepth != nDepth) return fail("leaves at different depths");
            const int n = static_cast<int>(leaf->m_nNumKey);
            if (n < 1 || n > nOrder) return fail("leaf key count out of range");
            uint32_t nRecords = 0;
            for (int i = 0; i < n; ++i) {
                const unsigned char* k = m_t._pKey(leaf, i);
                if (i > 0 && m_t.m_pfKeyCompare(m_t._pKey(leaf, i - 1), k, m_t.m_nKeySize) >= 0)
                    return fail("leaf keys not ascending");
                if (lo != nullptr && m_t.m_pfKeyCompare(k, lo, m_t.m_nKeySize) < 0) return fail("key below its separator");
                if (hi != nullptr && m_t.m_pfKeyCompare(k, hi, m_t.m_nKeySize) >= 0) return fail("key not below the next separator");
                if (m_t._bHasBucket(leaf, i)) {
                    std::string e = _CheckBucket(m_t._pBucket(leaf, i), w);
                    if (!e.empty()) return fail(e);
                }
                nRecords += m_t._nKeyRecords(leaf, i);
            }
            if (nRecords != leaf->m_nNumRecord) return fail("leaf record count wrong");
            w->nKeys += static_cast<unsigned>(n);
            w->leaves.push_back(leaf);
            return;
        }
        auto* inner = static_cast<CMemIndexNode*>(p);
        if (nDepth > 0 && p->m_nType != CMemNode::kInner) return fail("inner node not of kind 1");
        const int n = static_cast<int>(inner->m_nNumKey);
        if (n > nOrder || (nDepth > 0 && n < 1)) return fail("inner key count out of range");
        ++w->nInner;
        uint32_t nRecords = 0;
        for (int i = 0; i <= n; ++i) {
            const unsigned char* l = i > 0 ? m_t._pInnerKey(inner, i - 1) : lo;
            const unsigned char* h = i < n ? m_t._pInnerKey(inner, i) : hi;
            CMemNode* c = m_t._ppChildren(inner)[i];
            if (c == nullptr) return fail("null child");
            _Node(c, nDepth + 1, l, h, w);
            if (!w->error.empty()) return;
            nRecords += c->m_nNumRecord;
        }
        if (nRecords != inner->m_nNumRecord) return fail("inner record count is not the sum of its children's");
    }

    int _Stale(CMemNode* p) const
    {
        if (p->m_nType == CMemNode::kLeaf) return 0;
        auto* inner = static_cast<CMemIndexNode*>(p);
        int n = 0;
        for (uint32_t i = 0; i <= inner->m_nNumKey; ++i) {
            CMemNode* c = m_t._ppChildren(inner)[i];
            n += _Stale(c);
            if (i > 0) {
                CMemNode* first = c;
                while (first->m_nType != CMemNode::kLeaf) first = m_t._ppChildren(static_cast<CMemIndexNode*>(first))[0];
                const unsigned char* key = m_t._pKey(static_cast<CMemDataNode*>(first), 0);
                n += std::memcmp(m_t._pInnerKey(inner, static_cast<int>(i) - 1), key, m_t.m_nKeySize) != 0 ? 1 : 0;
            }
        }
        return n;
    }

    std::string _CheckBucket(CMemBucket* b, Walk* w) const
    {
        const int c = b->nGetClass();
        if (c < 0 || c >= CMemBucket::kNumClass) return "bucket class out of range";
        ++w->anBuckets[c];
        const int n = b->nGetNumKey();
        if (n < 2) return "bucket with fewer than 2 values";
        const CMemBucket::SThreshold& t = CMemBucket::mg_stTabSizeThreshold[c];
        if (n < t.nMin || (t.nMax != 0 && n > t.nMax)) return "bucket count outside its class";
        if (b->bIsTree()) {
            const CMemBTree& nested = *b->pclGetTree();
            if (nested.m_nKeySize != m_t.m_nValueSize || nested.m_nValueSize != 0 || nested.m_nOrder != m_t.m_nOrder)
                return "nested tree set up wrongly";
            std::string e = CMemBTreeInspector(nested, true).Check();
            return e.empty() ? e : "nested: " + e;
        }
        for (int k = 1; k < n; ++k) {
            SMemBucketPos a{nullptr, k - 1};
            SMemBucketPos z{nullptr, k};
            if (m_t.m_pfValueCompare(b->pGetValue(&m_t, &a), b->pGetValue(&m_t, &z), m_t.m_nValueSize) >= 0)
                return "bucket values not ascending";
        }
        return {};
    }

    std::string _CheckPosition(const Walk& w) const
    {
        const CMemBTree::CIterator& it = m_t.m_clPosition;
        if (it.m_pLeaf == nullptr) return "non-empty tree without position";
        size_t k = 0;
        while (k < w.leaves.size() && w.leaves[k] != it.m_pLeaf) ++k;
        if (k == w.leaves.size()) return "position on a leaf outside the tree";
        const int n = static_cast<int>(it.m_pLeaf->m_nNumKey);
        if (it.m_nKey < 0 || it.m_nKey > n || (it.m_nKey == n && k + 1 != w.leaves.size()))
            return "position index out of its leaf";
        if (it.m_nKey < n && m_t._bHasBucket(it.m_pLeaf, it.m_nKey)) {
            CMemBucket* b = m_t._pBucket(it.m_pLeaf, it.m_nKey);
            if (!b->bIsTree()) {
                if (it.m_stDup.m_nIndex < 0 || it.m_stDup.m_nIndex >= b->nGetNumKey()) return "bucket position out of range";
            } else {
                const CMemBTree& nested = *b->pclGetTree();
                bool bIn = false;
                for (CMemDataNode* p = nested._pFirstLeaf(); p != nullptr; p = p->m_pNext)
                    bIn = bIn || (p == it.m_stDup.m_pLeaf && it.m_stDup.m_nIndex >= 0 &&
                                  it.m_stDup.m_nIndex < static_cast<int>(p->m_nNumKey));
                if (!bIn) return "bucket position outside the nested tree";
            }
        }
        return {};
    }

    const CMemBTree& m_t;
    bool m_bNested;
};
