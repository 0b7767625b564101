#pragma once

#include "common/system/time_records.h"

// File times as FILETIMEs (UTC, whole seconds).

// The times of an open file descriptor: creation from the status-change
// time, access and write from the access and modification times, each only
// when its pointer is given. False when fstat fails.
bool GetFileTime(int fd, FILETIME* creation, FILETIME* access, FILETIME* write);

// Sets the access and write times of a file (whole seconds; the creation
// time is ignored). Neither given: true, nothing done. One given: the other
// is kept, read with lstat (false when that fails). The name is wide and
// reaches the system as UTF-8.
bool SetFileTime(const wchar_t* path, const FILETIME* creation, const FILETIME* access, const FILETIME* write);
