#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/system/data_compressor.h"
#include "common/system/error_table_def.h"
#include "common/system/module_info.h"
#include "common/system/x_error_module.h"
#include "common/system/resource_block.h"
#include "resources/resource_catalog.h"

// Checks shared by the tests of each deliverable's generated block: the test
// executable links that deliverable's block, table and text catalogue.
namespace vxtest {

inline STRessourceModule Record(uint32_t id)
{
    return {id, 0, nullptr, 0, 0, -1};
}

// Unpacks a looked-up entry as the resource layer does: into a scratch buffer
// of 1.5 times the packed length plus 2, where a truncation is a failure.
inline bool bUnpack(const STRessourceModule& rec, std::string& text)
{
    std::vector<unsigned char> out(rec.dwPackedLength * 3 / 2 + 2);
    int capacity = static_cast<int>(out.size());
    CDataCompressor unpacker;
    if (unpacker.nDeCompress(out.data(), &capacity, rec.pbyData, static_cast<int>(rec.dwPackedLength)) != 0)
        return false;
    text.assign(out.begin(), out.begin() + capacity);
    return true;
}

inline void ExpectEveryTextFoundAndUnpacked()
{
    ASSERT_GT(gnNbResourceCatalog32, 0u);
    for (size_t i = 0; i < gnNbResourceCatalog32; ++i) {
        const _stResourceCatalog32& entry = gstResourceCatalog32[i];
        STRessourceModule rec = Record(entry.dwId);
        ASSERT_EQ(1, bGetResAnsi32(rec)) << entry.dwId;
        EXPECT_EQ(RES_ENCODING_UTF8, rec.dwEncoding) << entry.dwId;
        EXPECT_EQ(static_cast<int32_t>(entry.nUsage), rec.nUsage) << entry.dwId;
        std::string text;
        ASSERT_TRUE(bUnpack(rec, text)) << entry.dwId;
        EXPECT_EQ(std::string(entry.pszText), text) << entry.dwId;
    }
    // The index covers the whole block, markers included, and fits its storage.
    EXPECT_EQ(1u, CResAnsi32::m_stRessource.bBuilt);
    EXPECT_EQ(gnNbResourceCatalog32 + 2, CResAnsi32::m_stRessource.nCount);
    EXPECT_EQ(CResAnsi32::m_stRessource.nCount, _nNbEntriesRes32);
    EXPECT_EQ(_pbyBufferRes32, CResAnsi32::m_stRessource.pbyBlock);
}

inline void ExpectMarkersAndMisses()
{
    struct Marker { uint32_t id; const char* text; uint32_t length; };
    const Marker markers[] = {{RES_ID_START_MARKER, RES_TEXT_START_MARKER, RES_PACKED_START_MARKER},
                              {RES_ID_STOP_MARKER, RES_TEXT_STOP_MARKER, RES_PACKED_STOP_MARKER},
                              {0x10000u + RES_ID_STOP_MARKER, RES_TEXT_STOP_MARKER, RES_PACKED_STOP_MARKER}};
    for (const Marker& m : markers) {
        STRessourceModule rec = Record(m.id);
        ASSERT_EQ(1, bGetResAnsi32(rec)) << m.id;
        EXPECT_EQ(m.length, rec.dwPackedLength);
        EXPECT_EQ(0, std::memcmp(m.text, rec.pbyData, std::strlen(m.text)));
        EXPECT_EQ(0, rec.nUsage);
    }
    EXPECT_EQ(0u, CResAnsi32::s_nRead16(_pbyBufferRes32 + _dwSizeBufferRes32 - 2));

    // Ids of no text: below, between and above the texts, and by their low 16 bits.
    std::vector<uint32_t> missing = {0, 3, 256, RES_LAST_ID};
    for (uint32_t id = RES_FIRST_ID; missing.size() < 6; ++id) {
        bool present = false;
        for (size_t i = 0; i < gnNbResourceCatalog32; ++i)
            present = present || gstResourceCatalog32[i].dwId == id;
        if (!present)
            missing.push_back(id);
    }
    missing.push_back(0x10000u + missing.back());
    for (const uint32_t id : missing) {
        STRessourceModule rec = Record(id);
        EXPECT_EQ(0, bGetResAnsi32(rec)) << id;
        EXPECT_EQ(nullptr, rec.pbyData) << id;
        EXPECT_EQ(-1, rec.nUsage) << id;
    }
    // A hit through the low 16 bits of a larger id.
    STRessourceModule rec = Record(0x30000u + gstResourceCatalog32[0].dwId);
    EXPECT_EQ(1, bGetResAnsi32(rec));
}

inline void ExpectCompareOverTheIndex()
{
    STRessourceModule probe = Record(gstResourceCatalog32[0].dwId);
    ASSERT_EQ(1, bGetResAnsi32(probe));  // builds the index
    const CResAnsi32::_stRessource& index = CResAnsi32::m_stRessource;
    for (uint32_t k = 0; k < index.nCount; ++k) {
        const uint32_t id = CResAnsi32::s_nRead16(index.pbyBlock + index.pdwOffsets[k] + 2);
        STRessourceModule key = Record(0x50000u + id);
        EXPECT_EQ(0, index.pfnCompare(&key, &index.pdwOffsets[k]));
        key.dwId = id - 1;
        EXPECT_EQ(-1, CResAnsi32::nCompareRes(&key, &index.pdwOffsets[k]));
    }
}

inline void ExpectTableMessagesPresent(size_t rows, uint32_t moduleId, const wchar_t* file, const wchar_t* version)
{
    EXPECT_EQ(rows, gnNbErrorDef32);
    EXPECT_EQ(moduleId, gdwModuleId32);
    EXPECT_STREQ(file, gszModuleFileName32);
    EXPECT_STREQ(version, gszModuleVersion32);
    for (size_t i = 0; i < gnNbErrorDef32; ++i) {
        STRessourceModule rec = Record(gstErrorDef32[i].dwMessageId);
        ASSERT_EQ(1, bGetResAnsi32(rec)) << "code " << gstErrorDef32[i].dwCode;
        std::string text;
        ASSERT_TRUE(bUnpack(rec, text)) << "code " << gstErrorDef32[i].dwCode;
        EXPECT_FALSE(text.empty()) << "code " << gstErrorDef32[i].dwCode;
    }
}

// The generated descriptor is built from the table and identity above, and
// an error raised through it takes each row's level and detail id (rows
// whose message takes no argument).
inline void ExpectDescriptor()
{
    EXPECT_EQ(gstErrorDef32, gstMyModuleInfo32.pstErrorDef);
    EXPECT_EQ(gnNbErrorDef32, gstMyModuleInfo32.nNbErrorDef);
    EXPECT_EQ(gdwModuleId32, gstMyModuleInfo32.dwModuleId);
    EXPECT_EQ(gszModuleFileName32, gstMyModuleInfo32.pszModuleFileName);
    EXPECT_EQ(gszModuleVersion32, gstMyModuleInfo32.pszModuleVersion);
    EXPECT_EQ(&bGetResAnsi32, gstMyModuleInfo32.pfnGetRessource);
    for (const void* reserved : gstMyModuleInfo32.apReserved)
        EXPECT_EQ(nullptr, reserved);
    for (size_t i = 0; i < gnNbErrorDef32; ++i) {
        const _stErrorDef32& row = gstErrorDef32[i];
        const _stResourceCatalog32* entry = nullptr;
        for (size_t k = 0; k < gnNbResourceCatalog32; ++k)
            if (gstResourceCatalog32[k].dwId == row.dwMessageId)
                entry = &gstResourceCatalog32[k];
        ASSERT_NE(nullptr, entry) << row.dwCode;
        if (*entry->pszArgs != 0)
            continue;
        _CXErrorModule32 error(row.dwCode);
        EXPECT_EQ(row.nLevel, error.eGetErrorLevel()) << row.dwCode;
        EXPECT_EQ(static_cast<int>(row.dwDetailId), error.nGetDetailId()) << row.dwCode;
        EXPECT_STREQ(gszModuleFileName32, error.pszGetModName());
        EXPECT_FALSE(std::wstring(error.pszGetUserMessage()).empty()) << row.dwCode;
    }
}

}  // namespace vxtest
