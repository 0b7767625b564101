// Arbitrary result columns and rows from the client library, as a server
// and a client of any version could give them, through the MySQL execution
// statement: field records in each client version's layout (any type,
// 64-bit length and longest value, flags, decimals, character set), rows of
// any bytes, lengths and NULLs, each value in a block of its own. Every
// column's item type and size must follow the driver's type table, texts
// their length rule with the length taken whole (a length past 32 bits is
// as long as any); and every value is read into conversion values of every
// analysed item type, held in a runtime value and in a record slot of the
// item's size (a heap block of exactly that size): each read succeeds, or
// fails with an error code in the error object.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/text/any.h"
#include "fuzz/fuzz_mysql_fake.h"
#include "native/model/column_sql.h"
#include "native/model/convert_variant.h"
#include "native/model/item_description.h"

namespace {

using vxfuzz::Check;
using vxfuzz::Input;
using vxfuzz::MySQLOverFake;

// Field types worth trying more often than a random byte would.
constexpr int kTypes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 245, 246, 247,
                          248, 249, 250, 251, 252, 253, 254, 255};
// Lengths at the edges of the rules.
constexpr uint64_t kLengths[] = {0, 1, 2, 10, 19, 32766, 32767, 65533, 65534, 65535, 65536,
                                 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x100000000, 0x100000005, 0x10000FFFF,
                                 0xFFFFFFFFFFFFFFFF, 0x8000000000000000};
constexpr unsigned kCharsets[] = {0, 8, 33, 45, 63, 83, 98, 99, 224, 255, 12, 17};

constexpr eNA_ITEMTYPE kAnalysed[] = {
    NA_IT_IDAUTO,  NA_IT_TEXTE,   NA_IT_I2,       NA_IT_I1,          NA_IT_I4,        NA_IT_R4,
    NA_IT_R8,      NA_IT_UI2,     NA_IT_DATE6,    NA_IT_HEURE,       NA_IT_UI1,       NA_IT_REELTURBO,
    NA_IT_DATE8,   NA_IT_MEMOTEXTE, NA_IT_MEMOBINAIRE4, NA_IT_MONETAIRE, NA_IT_MEMOBINAIRE, NA_IT_I8,
    NA_IT_UI8,     NA_IT_IMAGE,   NA_IT_UI4,      NA_IT_BINAIRE,     NA_IT_DATETIME,  NA_IT_TIMELENGHT,
    NA_IT_CHAR,    NA_IT_BOOLEEN, NA_IT_IDAUTO4,  NA_IT_UNICODE,     NA_IT_MEMOUNICODE, NA_IT_DECIMAL,
};

bool bMemo(eNA_ITEMTYPE e)
{
    return e == NA_IT_MEMOTEXTE || e == NA_IT_MEMOBINAIRE || e == NA_IT_MEMOBINAIRE4 || e == NA_IT_IMAGE ||
           e == NA_IT_MEMOUNICODE;
}

// The item a column must get, by the driver's type table; false for the
// decimals, whose item comes from their digits.
bool bExpectedItem(int nType, uint64_t nLength, unsigned nCharset, unsigned nFlags, eNA_ITEMTYPE* peType,
                   uint64_t* pnSize)
{
    const bool bUnsigned = (nFlags & 32) != 0;
    const bool bUnicode = CMySQLConnection::bCharsetUnicode(nCharset) != 0;
    const auto set = [&](eNA_ITEMTYPE e, uint64_t n) {
        *peType = e;
        *pnSize = n;
        return true;
    };
    switch (nType) {
    case 1: return set(bUnsigned ? NA_IT_UI1 : NA_IT_I1, 1);
    case 2: return set(bUnsigned ? NA_IT_UI2 : NA_IT_I2, 2);
    case 3:
    case 9: return set(bUnsigned ? NA_IT_UI4 : NA_IT_I4, 4);
    case 4: return set(NA_IT_R4, 4);
    case 5: return set(NA_IT_R8, 8);
    case 6: return set(NA_IT_EMPTY, 0);
    case 8: return set(bUnsigned ? NA_IT_UI8 : NA_IT_I8, 8);
    case 10: return set(NA_IT_DATE8, 9);
    case 7:
    case 11:
    case 12:
    case 13:
    case 14: return set(NA_IT_DATETIME, 8);
    case 0:
    case 246: return false;
    case 16:
        // The size of a BIT column is only checked where the length is one a
        // server can give (at most 64).
        if (nLength > 64)
            return false;
        return set(NA_IT_BINAIRE, nLength >= 1 ? nLength + 2 : 3);
    case 249:
    case 250:
    case 251:
    case 252:
        if (nCharset == 63)
            return set(NA_IT_MEMOBINAIRE, 8);
        return set(bUnicode ? NA_IT_MEMOUNICODE : NA_IT_MEMOTEXTE, 8);
    default: break;
    }
    // Strings of the binary character set hold bytes; an ENUM or a SET
    // (247, 248) is its members' text.
    const bool bBinary = nCharset == 63;
    if (nLength == 0 || nLength >= 65535)
        return set(bBinary ? NA_IT_MEMOBINAIRE : bUnicode ? NA_IT_MEMOUNICODE : NA_IT_MEMOTEXTE, 8);
    if (bBinary)
        return set(NA_IT_BINAIRE, nLength + 2);
    const uint64_t n = nLength + 1;
    if (2 * n > 65534)
        return bUnicode ? set(NA_IT_MEMOUNICODE, 8) : set(NA_IT_TEXTE, n);
    return bUnicode ? set(NA_IT_UNICODE, 2 * n) : set(NA_IT_TEXTE, n);
}

struct stColumn
{
    stFakeField field;
    uint64_t nSeenLength;  // the length as the layout carries it
    unsigned nSeenCharset;
};

// The size of a record slot for an item: the item's width for the fixed
// ones, else the input's choice.
unsigned SlotSize(eNA_ITEMTYPE eType, Input& in)
{
    switch (eType) {
    case NA_IT_I1:
    case NA_IT_UI1:
    case NA_IT_BOOLEEN: return 1;
    case NA_IT_I2:
    case NA_IT_UI2:
    case NA_IT_CHAR: return 2;
    case NA_IT_I4:
    case NA_IT_UI4:
    case NA_IT_R4:
    case NA_IT_IDAUTO4: return 4;
    case NA_IT_I8:
    case NA_IT_UI8:
    case NA_IT_R8:
    case NA_IT_REELTURBO:
    case NA_IT_IDAUTO:
    case NA_IT_DATETIME:
    case NA_IT_TIMELENGHT:
    case NA_IT_MONETAIRE: return 8;
    case NA_IT_DATE8: return 9;
    case NA_IT_DATE6: return 7;
    case NA_IT_UNICODE: return 2 * (1 + in.Byte() % 40);
    default: return 1 + in.Byte() % 80;
    }
}

class Reader
{
public:
    Reader(CMySQLConnection* pclConnection, CNAError* pclError) : m_pclConnection(pclConnection), m_pclError(pclError)
    {
    }
    ~Reader()
    {
        for (CNAItemDescription* pclItem : m_items)
            pclItem->nRelease();
    }

    CNAItemDescription* Item(eNA_ITEMTYPE eType, unsigned nSize, int nIntegerDigits, int nDecimalDigits)
    {
        CNAItemDescription* pclItem = MySQLOverFake::Get().Driver()->pclAllocItemDescription();
        Check(pclItem != nullptr);
        pclItem->AddRef();
        pclItem->bInit(L"ITEM", L"T", L"ITEM", 1, nSize, eType, static_cast<unsigned>(-1), -1, 0, nIntegerDigits,
                       nDecimalDigits);
        m_items.push_back(pclItem);
        return pclItem;
    }

    // One read of column n into a value of the analysed item, from the
    // database item given, held in a runtime value or a record slot.
    void Read(CMySQLStatementSQL* pclStatement, unsigned nColumn, eNA_ITEMTYPE eAnalyse, CNAItemDescription* pclDb,
              bool bSlot, Input& in)
    {
        const int nInteger = in.Byte() % 40 - 2;
        const int nDecimal = in.Byte() % 20 - 2;
        uint32_t nDecimalSize = 0;
        eNA_ITEMTYPE eDecimal = NA_IT_EMPTY;
        if (eAnalyse == NA_IT_DECIMAL)
            CNAItemDescription::s_GetTypeFromFormat(nInteger, nDecimal, &eDecimal, &nDecimalSize);
        const unsigned nSize =
            eAnalyse == NA_IT_DECIMAL ? (nDecimalSize > 0 ? nDecimalSize : 16) : SlotSize(eAnalyse, in);
        CNAItemDescription* pclAnalyse = Item(eAnalyse, nSize, nInteger, nDecimal);
        CNAConvertVariant* pclValue = MySQLOverFake::Get().Driver()->pclAllocVariant(m_pclError, m_pclConnection);
        Check(pclValue != nullptr);
        REF_AddRef(pclValue);
        std::vector<unsigned char> slot;
        if (bSlot && !bMemo(eAnalyse)) {
            slot.assign(nSize, 0xEE);
            slot.shrink_to_fit();
            Check(pclValue->bInitTypeVariant(NA_VT_RECORD, slot.data(), nSize, ConverteItemToZLType(eAnalyse)) == 1);
        } else {
            pclValue->InitTypeVariantAny(ConverteItemToZLType(eAnalyse), 0);
        }
        pclValue->SetItemDesc(pclAnalyse, pclDb);
        m_pclError->Reset();
        if (pclStatement->bGetValue(pclValue, nColumn, 0)) {
            CAny clValue;
            (void)pclValue->bGetValue(&clValue);
        } else {
            // A read that fails says why.
            Check(m_pclError->dwGetErrorId() != 0);
        }
        m_pclError->Reset();
        pclValue->nRelease();
    }

private:
    CMySQLConnection* m_pclConnection;
    CNAError* m_pclError;
    std::vector<CNAItemDescription*> m_items;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MySQLOverFake& fake = MySQLOverFake::Get();
    Input in(data, size);
    const uint8_t control = in.Byte();
    const unsigned nLayout = control % 4;
    CMySQLConnection* pclConnection = fake.Connection(nLayout, (control & 4) != 0);
    const int nRecordSize = vxfuzz::kFieldLayouts[nLayout].nRecordSize;

    std::vector<stColumn> columns(1 + in.Byte() % 6);
    for (stColumn& c : columns) {
        const uint8_t pick = in.Byte();
        c.field.name = "c";
        c.field.nType = pick < 200 ? kTypes[pick % std::size(kTypes)] : in.Byte();
        const uint8_t lengthPick = in.Byte();
        if (lengthPick < 128) {
            c.field.nLength = kLengths[lengthPick % std::size(kLengths)];
        } else {
            c.field.nLength = 0;
            for (int i = 0; i < 8; ++i)
                c.field.nLength = c.field.nLength << 8 | in.Byte();
            if (lengthPick & 1)
                c.field.nLength %= 70000;
        }
        c.field.nMaxLength = (in.Byte() & 3) == 0 ? in.Word() : 0;
        c.field.nFlags = in.Word();
        c.field.nDecimals = in.Byte() % 40;
        const uint8_t charsetPick = in.Byte();
        c.field.nCharset = charsetPick < 128 ? kCharsets[charsetPick % std::size(kCharsets)] : charsetPick;
        c.nSeenLength = nRecordSize == 48 ? static_cast<uint32_t>(c.field.nLength) : c.field.nLength;
        c.nSeenCharset = nRecordSize >= 120 ? c.field.nCharset : 0;
    }
    std::vector<FakeRow> rows(in.Byte() % 4);
    for (FakeRow& row : rows) {
        for (size_t i = 0; i < columns.size(); ++i) {
            const uint8_t kind = in.Byte();
            if (kind % 8 == 0)
                row.push_back(std::nullopt);
            else
                row.push_back(in.Bytes(kind % 4 == 3 ? in.Word() % 400 : kind % 40));
        }
    }
    std::vector<stFakeField> fields;
    for (const stColumn& c : columns)
        fields.push_back(c.field);
    stFakeStatement statement;
    statement.bResultSet = true;
    statement.fields = fields;
    statement.rows = rows;
    fake.State().scripts["SELECT *"] = {statement};

    CNAError* pclError = fake.Error();
    pclError->Reset();
    auto* pclStatement = new CMySQLStatementSQL(pclConnection, pclError);
    REF_AddRef(pclStatement);
    Check(pclStatement->bExecuteDirect(L"SELECT *", nullptr, 0) == 1);

    // Every column's item by the type table, its length taken whole.
    uint64_t nTotalMaxLength = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        const stColumn& c = columns[i];
        const CNAColumnSQL* pclColumn = pclStatement->pclGetNAColumnSQL(static_cast<int>(i));
        Check(pclColumn != nullptr);
        nTotalMaxLength += nRecordSize == 48 ? static_cast<uint32_t>(c.field.nMaxLength) : c.field.nMaxLength;
        uint64_t nLength = c.nSeenLength;
        // A column without a declared length takes the longest values' total
        // so far.
        if ((nLength == 0 || static_cast<int64_t>(nLength) < 0) && nTotalMaxLength != 0)
            nLength = nTotalMaxLength;
        eNA_ITEMTYPE eExpected = NA_IT_EMPTY;
        uint64_t nExpectedSize = 0;
        if (bExpectedItem(c.field.nType, nLength, c.nSeenCharset, c.field.nFlags, &eExpected, &nExpectedSize)) {
            Check(pclColumn->m_eItemType == eExpected);
            Check(pclColumn->m_nSize == nExpectedSize);
        }
    }

    // Every value into every analysed item, from the column's own item and
    // from a database item of the input's choice.
    Reader reader(pclConnection, pclError);
    std::vector<CNAItemDescription*> databaseItems;
    for (size_t i = 0; i < columns.size(); ++i) {
        const CNAColumnSQL* pclColumn = pclStatement->pclGetNAColumnSQL(static_cast<int>(i));
        databaseItems.push_back(reader.Item(pclColumn->m_eItemType, pclColumn->m_nSize, pclColumn->m_nIntegerDigits,
                                            static_cast<int>(pclColumn->m_nDecimals)));
    }
    while (pclStatement->bFetch(0) && pclStatement->bHasCurrentRow()) {
        for (size_t i = 0; i < columns.size(); ++i) {
            const uint8_t choice = in.Byte();
            CNAItemDescription* pclDb = databaseItems[i];
            if (choice & 1)
                pclDb = reader.Item(kAnalysed[in.Byte() % std::size(kAnalysed)], 8, 0, 0);
            for (const eNA_ITEMTYPE eAnalyse : kAnalysed) {
                reader.Read(pclStatement, static_cast<unsigned>(i), eAnalyse, pclDb, (choice & 2) != 0, in);
            }
        }
    }
    pclStatement->nRelease();
    Check(fake.State().nLiveResults == 0);
    return 0;
}
