#pragma once
#include <QString>

// Why a port could not be opened or used, as the technician can act on it; the pages put it in
// words. The system's error number is kept for the cases nobody can name.
struct EComPort
{
    enum Code { OpenFailed = 1, WriteFailed = 2, ReadFailed = 3, PurgeFailed = 5, SetStateFailed = 7,
                SetTimeoutsFailed = 8, SetupFailed = 9, ClearErrorFailed = 10, EscapeFailed = 12 };
    // What a technician can act on: plug the cable in, free the port, get the right to use it.
    // Invalid: the name can never be a device (a control character in it). Lost: the device went
    // away while the port was open.
    enum Reason { Other, Missing, Busy, Denied, Invalid, Lost };

    int code = 0;
    int systemError = 0;
    Reason reason = Other;
    QString port;

    // The device of `port` went away while it was open.
    static EComPort lost(const QString &port)
    {
        EComPort error;
        error.reason = Lost;
        error.port = port;
        return error;
    }
    // The reason from an open() that failed with this system error number.
    static Reason reasonFor(int systemError);
};
