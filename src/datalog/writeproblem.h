#pragma once
#include <QString>

// Why a recording's file could not be written, in Czech, from the reason the system gave; an
// unusual reason is said in the system's own words (`systemText`).
// From an errno value (Linux, and the C runtime's open on Windows).
QString writeProblem(int systemError, const QString &systemText);
// From a Windows error code (GetLastError after WriteFile, which sets no errno).
QString windowsWriteProblem(quint32 windowsError, const QString &systemText);
