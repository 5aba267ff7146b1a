#pragma once
#include <QString>

// Why `name` cannot be a serial port's name, in Czech for the technician; empty when it can.
// Checked before anything is derived from the name: a control character (a NUL above all) in
// the name of the lock file or the device path makes the system's port locking misbehave.
QString portNameFault(const QString &name);
