#pragma once
#include <QString>

// Where the first control character of a serial port's name is; -1 when there is none and the
// name can be a port's. Checked before anything is derived from the name: a control character (a
// NUL above all) in the name of the lock file or the device path makes the system's port locking
// misbehave.
qsizetype firstControlCharacter(const QString &name);
