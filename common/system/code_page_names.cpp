#include "common/system/code_page_names.h"

const char* const TabToCode[8] = {
    "UCS4LE//IGNORE", "UTF32LE//IGNORE", "UCS-4LE//IGNORE", "UTF-32LE//IGNORE",
    "UCS4LE",         "UTF32LE",         "UCS-4LE",         "UTF-32LE",
};

const char* CodePageToIConv(int nCodePage)
{
    switch (nCodePage) {
    case 1: return "CP437";
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 1361: return "CP1361";
    case 50220: return "ISO-2022-JP";
    case 65001: return "UTF-8";
    default: return "CP1252";
    }
}
