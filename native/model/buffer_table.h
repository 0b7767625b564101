#pragma once

// The row cache's two block tables (simple_table.h): record buffers, stored
// as their raw bytes (the buffer's size, written and read as plain copies;
// reading takes exactly a buffer of that size), and record identities, stored
// in their serialized form (written by Serialize, read back by DeSerialize).
// Both start with 500 rows and 2 MB per block.
#include "native/model/qf_record.h"
#include "native/model/record_id.h"
#include "native/model/simple_table.h"

template <class T>
class CNABufferTable : public CTSimpleTable<T>
{
public:
    static constexpr int kDefaultGrowCount = 500;
    static constexpr uint64_t kDefaultBlockSize = 0x200000;

    CNABufferTable() : CTSimpleTable<T>(kDefaultGrowCount, kDefaultBlockSize) {}
};

template <>
struct CSimpleTableHooks<CNAQFRecord>
{
    static constexpr auto pfSize = &CNAQFRecord::nGetBufferSize;
    static constexpr auto pfSave = &CNAQFRecord::SaveBuffer;
    static constexpr auto pfLoad = &CNAQFRecord::LoadBuffer;
};

template <>
struct CSimpleTableHooks<CNARecordId>
{
    static constexpr auto pfSize = &CNARecordId::nGetSerializedSize;
    static constexpr auto pfSave = &CNARecordId::Serialize;
    static constexpr auto pfLoad = &CNARecordId::DeSerialize;
};
