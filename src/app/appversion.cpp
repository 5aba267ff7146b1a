#include "appversion.h"

// Defined for this file alone by CMake from the project version, so a new version recompiles
// one file.
QString appVersion()
{
    return QStringLiteral(VELKOR_VERSION);
}
