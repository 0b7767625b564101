// Conversions between FILETIMEs (UTC) and the file layer's local times.
#include "common/system/disk_file_system.h"
#include "common/system/system_time.h"

bool CDiskFileSystem::bFileTimeToSystemTime(const FILETIME* pFileTime, _stXFILETIME* pTime)
{
    if (pFileTime == nullptr || pTime == nullptr)
        return false;
    SYSTEMTIME utc;
    SYSTEMTIME local;
    if (!FileTimeToSystemTime(pFileTime, &utc) || !bUTCVersLocal(&utc, &local))
        return false;
    pTime->wYear = local.wYear;
    pTime->wMonth = local.wMonth;
    pTime->wDay = local.wDay;
    pTime->wHour = local.wHour;
    pTime->wMinute = local.wMinute;
    pTime->wSecond = local.wSecond;
    pTime->wMilliseconds = local.wMilliseconds;
    return true;
}

bool CDiskFileSystem::bSystemTimeToFileTime(const _stXFILETIME* pTime, FILETIME* pFileTime)
{
    if (pTime == nullptr || pFileTime == nullptr)
        return false;
    SYSTEMTIME local{};
    local.wYear = pTime->wYear;
    local.wMonth = pTime->wMonth;
    local.wDay = pTime->wDay;
    local.wHour = pTime->wHour;
    local.wMinute = pTime->wMinute;
    local.wSecond = pTime->wSecond;
    local.wMilliseconds = pTime->wMilliseconds;
    SYSTEMTIME utc;
    return bLocalVersUTC(&local, &utc) && SystemTimeToFileTime(&utc, pFileTime);
}

int CDiskFileSystem::nCompareSystemTime(const _stXFILETIME* a, const _stXFILETIME* b)
{
    const uint16_t _stXFILETIME::*apFields[] = {&_stXFILETIME::wYear,   &_stXFILETIME::wMonth,
                                                &_stXFILETIME::wDay,    &_stXFILETIME::wHour,
                                                &_stXFILETIME::wMinute, &_stXFILETIME::wSecond,
                                                &_stXFILETIME::wMilliseconds};
    for (const auto pField : apFields)
        if (a->*pField != b->*pField)
            return static_cast<int>(b->*pField) - static_cast<int>(a->*pField);
    return 0;
}

bool CDiskFileSystem::bSystemTimeToDosFileTime(const _stXFILETIME* pTime, unsigned* pnDos)
{
    const unsigned nDate = static_cast<unsigned>((pTime->wYear - 1980) * 512 + pTime->wMonth * 32 + pTime->wDay);
    const unsigned nTime = static_cast<unsigned>(pTime->wHour * 2048 + pTime->wMinute * 32 + pTime->wSecond / 2);
    *pnDos = ((nDate & 0xFFFF) << 16) | (nTime & 0xFFFF);
    return true;
}

bool CDiskFileSystem::bDosFileTimeToSystemTime(unsigned nDos, _stXFILETIME* pTime)
{
    const unsigned nDate = nDos >> 16;
    const unsigned nTime = nDos & 0xFFFF;
    pTime->wYear = static_cast<uint16_t>((nDate >> 9) + 1980);
    pTime->wMonth = static_cast<uint16_t>((nDate >> 5) & 0x0F);
    pTime->wDay = static_cast<uint16_t>(nDate & 0x1F);
    pTime->wHour = static_cast<uint16_t>(nTime >> 11);
    pTime->wMinute = static_cast<uint16_t>((nTime >> 5) & 0x3F);
    pTime->wSecond = static_cast<uint16_t>((nTime & 0x1F) * 2);
    pTime->wMilliseconds = 0;
    return true;
}
