#pragma once

#include "common/system/time_records.h"

// File times as FILETIMEs (UTC, whole seconds).

// The times of an open file descriptor: creation from the status-change
// time, access and write from the access and modification times, each only
// when its pointer is given. False when fstat fails.
bool GetFileTime(int fd, FILETIME* creation, FILETIME* access, FILETIME* write);
