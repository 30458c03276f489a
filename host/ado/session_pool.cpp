#include "session_pool.h"
#include "frame/handles.h"
#include <algorithm>
#include <cwchar>
#include <vector>

namespace adohost {
namespace {

struct Idle {
    std::wstring text;
    std::unique_ptr<OdbcSession> session;
    ULONGLONG since;
};

// Created once and never destroyed: at process exit the sessions end with
// their sockets, and no driver call runs under the loader lock.
struct Pool {
    CRITICAL_SECTION lock;
    bool sweeping = false;
    std::vector<Idle> idle;
    Pool() { InitializeCriticalSection(&lock); }
};

Pool& ThePool() {
    static Pool* pool = new Pool;
    return *pool;
}

class Locked {
public:
    explicit Locked(Pool& p) : p_(p) { EnterCriticalSection(&p_.lock); }
    ~Locked() { LeaveCriticalSection(&p_.lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    Pool& p_;
};

// Closes expired sessions; once the pool has stayed empty for an idle
// period, lets go of the DLL. A session returned meanwhile expires after
// every one the sweeper already waits for, so nothing needs to wake it: a
// return costs no thread switch, and a caller that opens and closes in a
// loop starts no thread per close.
DWORD WINAPI Sweep(void* module) {
    Pool& pool = ThePool();
    const ULONGLONG idleMs = static_cast<ULONGLONG>(IdleSeconds()) * 1000;
    ULONGLONG emptySince = 0;
    for (;;) {
        std::vector<std::unique_ptr<OdbcSession>> expired;
        DWORD wait = static_cast<DWORD>(idleMs);
        {
            Locked hold(pool);
            const ULONGLONG now = GetTickCount64();
            for (size_t i = 0; i < pool.idle.size();) {
                ULONGLONG age = now - pool.idle[i].since;
                if (age >= idleMs) {
                    expired.push_back(std::move(pool.idle[i].session));
                    pool.idle.erase(pool.idle.begin() + static_cast<std::ptrdiff_t>(i));
                    continue;
                }
                wait = std::min<DWORD>(wait, static_cast<DWORD>(idleMs - age));
                ++i;
            }
            if (!pool.idle.empty()) {
                emptySince = 0;
            } else if (!emptySince) {
                emptySince = now;
            } else if (now - emptySince >= idleMs) {
                pool.sweeping = false;
                break;
            } else {
                wait = static_cast<DWORD>(idleMs - (now - emptySince));
            }
        }
        expired.clear();  // disconnects outside the lock
        Sleep(wait + 10);
    }
    FreeLibraryAndExitThread(static_cast<HMODULE>(module), 0);
}

// Under the lock: a sweeper runs while the pool holds sessions. False when
// none can run; the session is then not kept.
bool EnsureSweeper(Pool& pool) {
    if (pool.sweeping) return true;
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&Sweep), &self))
        return false;
    const vemo::KernelHandle thread(CreateThread(nullptr, 0, Sweep, self, 0, nullptr));
    if (!thread) {
        FreeLibrary(self);
        return false;
    }
    pool.sweeping = true;
    return true;
}

}  // namespace

long IdleSeconds() {
    static long seconds = [] {
        wchar_t value[16] = {};
        DWORD n = GetEnvironmentVariableW(L"ADOHOST_POOL_IDLE_SECONDS", value, 16);
        long v = n > 0 && n < 16 ? std::wcstol(value, nullptr, 10) : 0;
        return v >= 1 && v <= 3600 ? v : 60L;
    }();
    return seconds;
}

std::unique_ptr<OdbcSession> TakePooledSession(const std::wstring& text, long queryTimeout) {
    Pool& pool = ThePool();
    for (;;) {
        std::unique_ptr<OdbcSession> session;
        {
            Locked hold(pool);
            // The most recently returned first: the one most likely alive.
            for (size_t i = pool.idle.size(); i-- > 0;) {
                if (pool.idle[i].text == text) {
                    session = std::move(pool.idle[i].session);
                    pool.idle.erase(pool.idle.begin() + static_cast<std::ptrdiff_t>(i));
                    break;
                }
            }
        }
        if (!session) return nullptr;
        if (session->Probe(queryTimeout)) return session;
        // Dead: closed here, and the next one is tried.
    }
}

void ReturnToPool(const std::wstring& text, std::unique_ptr<OdbcSession> session) {
    if (!session || !session->Reset()) return;
    Pool& pool = ThePool();
    std::unique_ptr<OdbcSession> surplus;
    {
        Locked hold(pool);
        size_t same = 0;
        for (const Idle& i : pool.idle) same += i.text == text;
        if (same >= kPooledPerText || !EnsureSweeper(pool)) {
            surplus = std::move(session);
        } else {
            pool.idle.push_back({text, std::move(session), GetTickCount64()});
        }
    }
}

}  // namespace adohost
