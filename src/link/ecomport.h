#pragma once
#include <QString>

// Why a port could not be opened or used; the text is what the technician sees.
struct EComPort
{
    enum Code { OpenFailed = 1, WriteFailed = 2, ReadFailed = 3, PurgeFailed = 5, SetStateFailed = 7,
                SetTimeoutsFailed = 8, SetupFailed = 9, ClearErrorFailed = 10, EscapeFailed = 12 };
    int code = 0;
    int systemError = 0;
    QString detail;  // a Czech line that says what the technician can do about it

    QString message() const;
    static QString codeText(int code);
};
