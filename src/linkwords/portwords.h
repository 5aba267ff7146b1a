#pragma once
#include "link/ecomport.h"
#include <QString>
#include <optional>

// Why a port could not be opened or was lost, in Czech, with what the technician can do about it.
QString portErrorText(const EComPort &error);
// The same for a port that may have none: empty while the port is open.
QString portProblemText(const std::optional<EComPort> &problem);

// Why `name` cannot be a serial port's name, for the technician; empty when it can.
QString portNameFault(const QString &name);
