#pragma once
#include "historytarget.h"

// Whether a server that refused a connection refused the login: its SQLSTATE 28P01 (password) or
// 28000 (no such user, or not allowed), or a password it asked for and none was given. Qt's
// PostgreSQL driver gives no SQLSTATE for a refused connection, and the server words its refusal
// in its own language, so this asks the server once more through libpq. Call it only after a
// connection failed: it connects again, within `timeoutSeconds`.
namespace ServerLogin {
bool refused(const HistoryTarget &target, int timeoutSeconds);
}
