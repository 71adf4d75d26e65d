#include "server/TempBudget.h"

#include <atomic>
#include <cstring>
#include <mutex>

namespace dravik::server {

namespace {

thread_local std::int64_t t_budget = -1;
thread_local bool t_exceeded = false;

// Bytes held by every open temporary file of the process, and how many they may be in all.
std::atomic<std::int64_t> g_held {0};
std::atomic<std::int64_t> g_limit {-1};

sqlite3_vfs *g_real = nullptr;
sqlite3_vfs g_vfs;

constexpr int kTempFlags = SQLITE_OPEN_TEMP_DB | SQLITE_OPEN_TEMP_JOURNAL | SQLITE_OPEN_TRANSIENT_DB
        | SQLITE_OPEN_SUBJOURNAL;

// A temporary file: its own header, then the default VFS's file.
struct TempFile
{
    sqlite3_file base;
    sqlite3_int64 size; // the largest size written so far
    sqlite3_file *real() { return reinterpret_cast<sqlite3_file *>(this + 1); }
};

TempFile *tf(sqlite3_file *f)
{
    return reinterpret_cast<TempFile *>(f);
}

int tClose(sqlite3_file *f)
{
    TempFile *t = tf(f);
    g_held -= t->size;
    t->size = 0;
    sqlite3_file *r = t->real();
    return r->pMethods ? r->pMethods->xClose(r) : SQLITE_OK;
}
int tRead(sqlite3_file *f, void *p, int n, sqlite3_int64 off)
{
    sqlite3_file *r = tf(f)->real();
    return r->pMethods->xRead(r, p, n, off);
}
int tWrite(sqlite3_file *f, const void *p, int n, sqlite3_int64 off)
{
    TempFile *t = tf(f);
    const sqlite3_int64 end = off + n;
    if (end > t->size) {
        const sqlite3_int64 growth = end - t->size;
        if (t_budget >= 0 && growth > t_budget) {
            t_exceeded = true;
            return SQLITE_FULL;
        }
        // Every statement running at once shares one disk: the sum is bounded too.
        const std::int64_t limit = g_limit.load();
        if (g_held.fetch_add(growth) + growth > limit && limit >= 0) {
            g_held -= growth;
            t_exceeded = true;
            return SQLITE_FULL;
        }
        if (t_budget >= 0)
            t_budget -= growth;
        t->size = end;
    }
    sqlite3_file *r = t->real();
    return r->pMethods->xWrite(r, p, n, off);
}
int tTruncate(sqlite3_file *f, sqlite3_int64 size)
{
    TempFile *t = tf(f);
    sqlite3_file *r = t->real();
    const int rc = r->pMethods->xTruncate(r, size);
    if (rc == SQLITE_OK && size < t->size) {
        g_held -= t->size - size;
        t->size = size;
    }
    return rc;
}
int tSync(sqlite3_file *f, int flags)
{
    sqlite3_file *r = tf(f)->real();
    return r->pMethods->xSync(r, flags);
}
int tFileSize(sqlite3_file *f, sqlite3_int64 *size)
{
    sqlite3_file *r = tf(f)->real();
    return r->pMethods->xFileSize(r, size);
}
int tLock(sqlite3_file *f, int l)
{
    sqlite3_file *r = tf(f)->real();
    return r->pMethods->xLock(r, l);
}
int tUnlock(sqlite3_file *f, int l)
{
    sqlite3_file *r = tf(f)->real();
    return r->pMethods->xUnlock(r, l);
}
int tCheckReserved(sqlite3_file *f, int *out)
{
    sqlite3_file *r = tf(f)->real();
    return r->pMethods->xCheckReservedLock(r, out);
}
int tFileControl(sqlite3_file *f, int op, void *arg)
{
    sqlite3_file *r = tf(f)->real();
    return r->pMethods->xFileControl(r, op, arg);
}
int tSectorSize(sqlite3_file *f)
{
    sqlite3_file *r = tf(f)->real();
    return r->pMethods->xSectorSize(r);
}
int tDevice(sqlite3_file *f)
{
    sqlite3_file *r = tf(f)->real();
    return r->pMethods->xDeviceCharacteristics(r);
}

// Temporary files are never shared nor memory-mapped: version 1 of the methods.
const sqlite3_io_methods kTempMethods
        = {1,       tClose,  tRead,          tWrite,       tTruncate,   tSync,   tFileSize,
           tLock,   tUnlock, tCheckReserved, tFileControl, tSectorSize, tDevice, nullptr,
           nullptr, nullptr, nullptr,        nullptr,      nullptr};

int vOpen(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *f, int flags, int *outFlags)
{
    if (!(flags & kTempFlags))
        return g_real->xOpen(g_real, name, f, flags, outFlags);
    TempFile *t = tf(f);
    std::memset(t, 0, sizeof *t);
    const int rc = g_real->xOpen(g_real, name, t->real(), flags, outFlags);
    // A file the default VFS did not open is closed through methods of its own, if any.
    t->base.pMethods = t->real()->pMethods ? &kTempMethods : nullptr;
    return rc;
}

} // namespace

void installTempBudgetVfs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        g_real = sqlite3_vfs_find(nullptr);
        g_vfs = *g_real;
        g_vfs.zName = "dravik-temp-budget";
        g_vfs.szOsFile = static_cast<int>(sizeof(TempFile)) + g_real->szOsFile;
        g_vfs.pNext = nullptr;
        g_vfs.xOpen = vOpen;
        sqlite3_vfs_register(&g_vfs, 1);
    });
}

void setTempBudget(std::int64_t bytes)
{
    t_budget = bytes;
    if (bytes >= 0)
        t_exceeded = false;
}

void setServerTempLimit(std::int64_t bytes)
{
    g_limit = bytes;
}

std::int64_t serverTempHeld()
{
    return g_held.load();
}

bool tempBudgetExceeded()
{
    return t_exceeded;
}

} // namespace dravik::server
