// Pooled sessions, as ADO keeps them on Windows: a closed connection's ODBC
// session is kept, keyed by the complete ODBC connection text (credentials
// included), and handed to the next Open of the same text.
//  - On return a session is reset (an open transaction rolled back, commit
//    mode restored); one whose reset fails is closed instead.
//  - On hand-out it is probed in one round trip (which also drops the last
//    user's temporary tables); a dead one (its server restarted) is closed
//    and the next is tried, so a dead session never reaches a caller.
//  - At most kPooledPerText idle sessions per text; each is closed after
//    IdleSeconds() unused, by a thread that runs while the pool holds
//    sessions and one idle period more, and keeps the DLL loaded until then.
#pragma once
#include "odbc.h"

#include <memory>
#include <string>

namespace adohost {

constexpr size_t kPooledPerText = 4;

// 60, or ADOHOST_POOL_IDLE_SECONDS where a test sets it (1 to 3600).
long IdleSeconds();

// An idle session of `text` that answered its probe (which waits at most
// `queryTimeout` seconds, 0 for ever), or null.
std::unique_ptr<OdbcSession> TakePooledSession(const std::wstring& text, long queryTimeout);

// Keeps `session` for the next Open of `text`, or closes it.
void ReturnToPool(const std::wstring& text, std::unique_ptr<OdbcSession> session);

}  // namespace adohost
