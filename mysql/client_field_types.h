#pragma once

// The client library's field type numbers (the type of a MYSQL_FIELD) and
// the character set number of binary data, as the driver reads them from a
// result's field records.
namespace MySQLField {

enum : int
{
    kDecimal = 0,
    kTiny = 1,
    kShort = 2,
    kLong = 3,
    kFloat = 4,
    kDouble = 5,
    kNull = 6,
    kTimestamp = 7,
    kLongLong = 8,
    kInt24 = 9,
    kDate = 10,
    kTime = 11,
    kDateTime = 12,
    kYear = 13,
    kNewDate = 14,
    kBit = 16,
    kNewDecimal = 246,
    kEnum = 247,
    kSet = 248,
    kTinyBlob = 249,
    kMediumBlob = 250,
    kLongBlob = 251,
    kBlob = 252,
};

// The character set of binary strings and BLOBs.
inline constexpr unsigned kBinaryCharset = 63;

}  // namespace MySQLField
