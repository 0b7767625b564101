#pragma once

// Result codes of the archive layer (reader, facade and data extractor).
enum _eVXzipResult : int
{
    VXZIP_OK = 0,
    VXZIP_ERR_OPEN = 1,          // archive cannot be opened, or entry not in the directory
    VXZIP_ERR_CREATE = 2,        // a file or memory stream cannot be opened or created
    VXZIP_ERR_FORMAT = 3,        // not a valid archive, inconsistent header, or wrong extracted size
    VXZIP_ERR_NO_CURRENT = 4,    // no current entry
    VXZIP_ERR_READ = 5,          // read failure on a header, or entry not found by name
    VXZIP_ERR_MEMORY = 9,        // memory exhausted
    VXZIP_ERR_CRC = 13,          // CRC-32 of the data differs (30 upwards)
    VXZIP_ERR_BAD_CRYPT = 14,    // password check failed (21 upwards)
    VXZIP_ERR_PASSWORD = 21,     // wrong or missing password
    VXZIP_ERR_LEVEL = 28,        // compression level above 9
    VXZIP_ERR_DATA = 30,         // read, write, decryption, inflation or CRC failure while extracting
    VXZIP_ERR_TOO_MANY = 31,     // more entries than the reader takes
    VXZIP_ERR_DUPLICATE = 32,    // two entries of one name, when the reader is asked to refuse them
    VXZIP_ERR_UNSUPPORTED = 105,
    VXZIP_ERR_NOT_OPEN = 1000,   // no archive open
    VXZIP_ERR_UNEXPECTED = 1001,
    VXZIP_END_OF_LIST = 1002,    // no further entry
};
