#pragma once

// The captions of the driver's dumps: the query dump of an SQL command and
// the connection details that every error raised on a connection receives.
// The driver keeps them, one text per field (1 to 28), loaded from the
// module's resource strings on first demand, with a built-in text for a
// string the resources lack, and one blank appended to each. Fields 8 to 10
// exist but stay empty.
enum eNA_DUMPCAPTION : int
{
    NA_CAPTION_QUERY_TEXT = 1,
    NA_CAPTION_PARAMETER_COUNT = 2,
    NA_CAPTION_PARAMETER = 3,
    NA_CAPTION_RUNTIME_TYPE = 4,
    NA_CAPTION_ADO_TYPE = 5,
    NA_CAPTION_VALUE = 6,
    NA_CAPTION_CONVERSION_FAILED = 7,
    NA_CAPTION_BIND_INFO = 11,
    NA_CAPTION_CONNECTION_PARAMETERS = 12,
    NA_CAPTION_DATA_SOURCE = 13,
    NA_CAPTION_PROVIDER = 14,
    NA_CAPTION_USER = 15,
    NA_CAPTION_DATABASE = 16,
    NA_CAPTION_CONNECTION_TIMEOUT = 17,
    NA_CAPTION_COMMAND_TIMEOUT = 18,
    NA_CAPTION_LOCK_TIMEOUT = 19,
    NA_CAPTION_CURSOR_LOCATION = 20,
    NA_CAPTION_UNICODE = 21,
    NA_CAPTION_LOCK_TAG = 22,
    NA_CAPTION_LOCK_MODE = 23,
    NA_CAPTION_DATE_FORMAT = 24,
    NA_CAPTION_CHARSET = 25,
    // The code page of the runtime's 8-bit text on the connection, then the
    // code page of the text to and from the client library.
    NA_CAPTION_RUNTIME_CODE_PAGE = 26,
    NA_CAPTION_CONNECTION_CODE_PAGE = 27,
    NA_CAPTION_NATIVE_LIBRARY = 28,
};

inline constexpr int kNADumpCaptionFields = 28;
