#pragma once

// Resource ids of the file layer's messages (texts in the module's resource
// block; their printf arguments are noted after each).
enum eXFILE_MESSAGE : unsigned
{
    XFILE_MSG_FLUSH = 28001,           // name
    XFILE_MSG_CREATE = 28002,          // name
    XFILE_MSG_READ = 28003,            // name
    XFILE_MSG_SET_SIZE = 28004,        // name
    XFILE_MSG_SEEK = 28005,            // name
    XFILE_MSG_WRITE = 28008,           // name
    XFILE_MSG_DELETE = 28123,          // name
    XFILE_MSG_RENAME = 28124,          // destination, source
    XFILE_MSG_COPY = 28125,            // destination, source
    XFILE_MSG_CREATE_DIRECTORY = 28126,  // path
    XFILE_MSG_DELETE_DIRECTORY = 28127,  // name
    XFILE_MSG_STATUS = 28128,          // name
    XFILE_MSG_MODIFICATION_TIME = 28129,  // name
    XFILE_MSG_ATTRIBUTES = 28130,      // attribute value or mode, name
    XFILE_MSG_FULL_PATH = 28131,       // name
    XFILE_MSG_TEMP_DIRECTORY = 28133,  // none
    XFILE_MSG_TEMP_NAME = 28134,       // directory, prefix
    XFILE_MSG_FIND_FIRST = 28135,      // none
    XFILE_MSG_FIND_NEXT = 28136,       // none
    XFILE_MSG_FIND_CLOSE = 28137,      // none
    XFILE_MSG_DISK_SPACE = 28138,      // path
    XFILE_MSG_OPEN = 28139,            // name
    XFILE_MSG_CREATE_OR_TRUNCATE = 28140,  // name
    XFILE_MSG_LOCK = 28145,            // name, offset, length (64-bit)
    XFILE_MSG_UNLOCK = 28146,          // name, offset, length (64-bit)
    XFILE_MSG_CURRENT_DIRECTORY = 28307,  // none
    XFILE_MSG_OWNER = 25852,           // uid, gid, name
};
