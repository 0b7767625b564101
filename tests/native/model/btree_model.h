#pragma once

// Reference model of a CMemBTree for the tests: a std::map from key to the
// sorted set of its values (numbers, written into the tree as big-endian bytes
// so that memcmp order is numeric order), and the position the tree must hold
// after each operation: none, the end, or one record. A model of a tree
// without values gives every key the single value 0.
//
// The rules it follows are the tree's: a search or a move changes the position
// only when it succeeds; removing the record at the position moves it to the
// following record; a forward move that reaches the end without the end flag
// steps back once.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "native/model/mem_btree.h"
#include "tests/native/model/btree_probe.h"

namespace vxtest {

inline std::string Encode(uint64_t x, size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n && i < 8; ++i) s[n - 1 - i] = static_cast<char>((x >> (8 * i)) & 0xFF);
    return s;
}

inline int MemCompare(const void* a, const void* b, unsigned long n)
{
    return std::memcmp(a, b, n);
}

class BTreeModel
{
public:
    struct Pos
    {
        enum Kind { None, End, On } kind = None;
        uint32_t k = 0;
        uint32_t v = 0;
    };

    BTreeModel(size_t nKeySize, size_t nValueSize) : m_nKeySize(nKeySize), m_nValueSize(nValueSize) {}

    std::string Key(uint32_t k) const { return Encode(k, m_nKeySize); }
    std::string Value(uint32_t v) const { return Encode(v, m_nValueSize); }
    bool HasValues() const { return m_nValueSize != 0; }
    int64_t Records() const { return m_nRecords; }
    int64_t Keys() const { return static_cast<int64_t>(m_map.size()); }
    const std::map<uint32_t, std::set<uint32_t>>& Map() const { return m_map; }
    const Pos& Position() const { return m_pos; }
    bool Contains(uint32_t k, uint32_t v) const
    {
        auto it = m_map.find(k);
        return it != m_map.end() && it->second.count(HasValues() ? v : 0) != 0;
    }

    int64_t RankOf(const Pos& p) const
    {
        if (p.kind != Pos::On) return Records();
        int64_t n = 0;
        for (auto it = m_map.begin(); it->first != p.k; ++it) n += static_cast<int64_t>(it->second.size());
        const auto& vs = m_map.at(p.k);
        return n + std::distance(vs.begin(), vs.find(p.v));
    }
    Pos AtRank(int64_t r) const
    {
        for (const auto& [k, vs] : m_map) {
            if (r < static_cast<int64_t>(vs.size())) return Pos{Pos::On, k, *std::next(vs.begin(), r)};
            r -= static_cast<int64_t>(vs.size());
        }
        return Pos{Pos::End};
    }
    int64_t KeyRankOf(const Pos& p) const
    {
        return p.kind == Pos::On ? std::distance(m_map.begin(), m_map.find(p.k)) : Keys();
    }
    Pos AtKeyRank(int64_t r) const
    {
        if (r >= Keys()) return Pos{Pos::End};
        auto it = std::next(m_map.begin(), r);
        return Pos{Pos::On, it->first, *it->second.begin()};
    }

    bool Insert(uint32_t k, uint32_t v)
    {
        if (!HasValues()) v = 0;
        auto& vs = m_map[k];
        if (!vs.insert(v).second) return false;
        if (++m_nRecords == 1) m_pos = Pos{Pos::End};
        return true;
    }

    // One record (v), or the key with all its values (no v).
    bool Erase(uint32_t k, std::optional<uint32_t> v)
    {
        auto it = m_map.find(k);
        if (it == m_map.end()) return false;
        if (!HasValues()) v.reset();
        if (v && it->second.count(*v) == 0) return false;
        if (m_pos.kind == Pos::On && m_pos.k == k && (!v || m_pos.v == *v)) {
            auto next = v ? it->second.upper_bound(*v) : it->second.end();
            if (next != it->second.end()) {
                m_pos.v = *next;
            } else {
                auto nk = std::next(it);
                m_pos = nk == m_map.end() ? Pos{Pos::End} : Pos{Pos::On, nk->first, *nk->second.begin()};
            }
        }
        m_nRecords -= v ? 1 : static_cast<int64_t>(it->second.size());
        if (v) it->second.erase(*v);
        if (!v || it->second.empty()) m_map.erase(it);
        if (m_map.empty()) m_pos = Pos{};
        return true;
    }

    bool EraseCurrent()
    {
        if (m_pos.kind != Pos::On) return false;
        return Erase(m_pos.k, m_pos.v);
    }

    // The position a search lands on, or nothing (position unchanged).
    std::optional<Pos> Search(uint32_t k, int flags)
    {
        std::optional<Pos> p;
        if (m_map.empty()) return p;
        const bool bLast = (flags & CMemBTree::kSearchLast) != 0;
        auto it = m_map.find(k);
        if (it == m_map.end()) {
            if ((flags & CMemBTree::kSearchExact) != 0) return p;
            if (!bLast) {
                it = m_map.upper_bound(k);
                if (it == m_map.end()) return p;
            } else {
                it = m_map.lower_bound(k);
                if (it == m_map.begin()) return p;
                --it;
            }
        }
        p = Pos{Pos::On, it->first, bLast ? *it->second.rbegin() : *it->second.begin()};
        m_pos = *p;
        return p;
    }

    bool Find(uint32_t k, uint32_t v)
    {
        if (!HasValues()) v = 0;
        if (!Contains(k, v)) return false;
        m_pos = Pos{Pos::On, k, v};
        return true;
    }

    void MoveTo(int n)
    {
        if (m_map.empty()) {
            m_pos = Pos{};
            return;
        }
        m_pos = AtRank(std::max(n, 0));
    }
    void GotoFirst() { MoveTo(0); }
    void GotoEnd() { m_pos = m_map.empty() ? Pos{} : Pos{Pos::End}; }

    bool Advance(int count, int flags, int* pMoved)
    {
        *pMoved = 0;
        if (m_pos.kind == Pos::None) return false;
        if (count == 0) return m_pos.kind == Pos::On || (flags & CMemBTree::kAdvanceAllowEnd) != 0;
        const bool bByKey = (flags & CMemBTree::kAdvanceByKey) != 0 && HasValues();
        const int64_t n = bByKey ? Keys() : Records();
        const int64_t r = bByKey ? KeyRankOf(m_pos) : RankOf(m_pos);
        int64_t steps;
        if (count > 0) {
            steps = std::min<int64_t>(count, n - r);
            if (r + steps == n && (flags & CMemBTree::kAdvanceAllowEnd) == 0 && steps > 0) --steps;
        } else {
            steps = -std::min<int64_t>(-static_cast<int64_t>(count), r);
        }
        *pMoved = static_cast<int>(steps);
        const bool ok = steps == count || ((flags & CMemBTree::kAdvancePartial) != 0 && steps != 0);
        if (ok) m_pos = bByKey ? AtKeyRank(r + steps) : AtRank(r + steps);
        return ok;
    }

    // Replaces the content (a bulk load that succeeded).
    void Load(const std::vector<std::pair<uint32_t, uint32_t>>& records)
    {
        m_map.clear();
        m_nRecords = 0;
        for (const auto& [k, v] : records) m_nRecords += m_map[k].insert(HasValues() ? v : 0).second ? 1 : 0;
        m_pos = m_map.empty() ? Pos{} : Pos{Pos::End};
    }

    // Empty when the tree holds exactly the model's records.
    std::string ContentDiff(const CMemBTree& tree) const
    {
        std::vector<std::pair<std::string, std::string>> expected;
        for (const auto& [k, vs] : m_map) {
            for (uint32_t v : vs) expected.emplace_back(Key(k), HasValues() ? Value(v) : std::string());
        }
        if (CMemBTreeInspector(tree).Records() != expected) return "records differ from the model";
        if (tree.nGetNumRecord() != Records()) return "record count differs from the model";
        if (tree.nGetNumKey() != Keys()) return "key count differs from the model";
        return {};
    }

    // Empty when the tree's position is the model's.
    std::string PositionDiff(const CMemBTree& tree) const
    {
        const CMemBTreeInspector::Where w = CMemBTreeInspector(tree).Position();
        switch (m_pos.kind) {
        case Pos::None:
            return w == CMemBTreeInspector::Where::None ? "" : "position should be none";
        case Pos::End:
            return w == CMemBTreeInspector::Where::End ? "" : "position should be the end";
        case Pos::On:
            break;
        }
        if (w != CMemBTreeInspector::Where::OnKey) return "position should be on a record";
        if (std::string(static_cast<const char*>(tree.pReadKey()), m_nKeySize) != Key(m_pos.k))
            return "position on another key";
        if (HasValues() && std::string(static_cast<const char*>(tree.pReadValue()), m_nValueSize) != Value(m_pos.v))
            return "position on another value";
        const int nDup = static_cast<int>(m_map.at(m_pos.k).size());
        if (tree.nNumDuplicates() != nDup) return "duplicate count differs";
        return {};
    }

private:
    size_t m_nKeySize;
    size_t m_nValueSize;
    std::map<uint32_t, std::set<uint32_t>> m_map;
    int64_t m_nRecords = 0;
    Pos m_pos;
};

}  // namespace vxtest
