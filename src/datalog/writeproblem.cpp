#include "writeproblem.h"
#include <cerrno>

namespace {
const char *const DiskFull = "na disku není místo";
const char *const TooLarge = "soubor přerostl největší velikost, kterou disk dovolí";
const char *const NotAllowed = "do složky není dovoleno zapisovat";
const char *const ReadOnly = "disk je jen pro čtení";
const char *const Quota = "je vyčerpána kvóta disku";
const char *const DiskError = "chyba disku při zápisu";
const char *const NoFolder = "složka neexistuje";
const char *const DiskGone = "disk byl odpojen";

QString fromSystem(const QString &systemText)
{
    return systemText.isEmpty() ? QStringLiteral("zápis se nezdařil") : systemText;
}
}

QString writeProblem(int systemError, const QString &systemText)
{
    switch (systemError) {
    case ENOSPC: return QString::fromUtf8(DiskFull);
    case EFBIG: return QString::fromUtf8(TooLarge);
    case EACCES:
    case EPERM: return QString::fromUtf8(NotAllowed);
    case EROFS: return QString::fromUtf8(ReadOnly);
#ifdef EDQUOT  // Windows has no disk quotas of this kind
    case EDQUOT: return QString::fromUtf8(Quota);
#endif
    case EIO: return QString::fromUtf8(DiskError);
    case ENOENT: return QString::fromUtf8(NoFolder);
    }
    return fromSystem(systemText);
}

QString windowsWriteProblem(quint32 windowsError, const QString &systemText)
{
    // The codes of winerror.h, here by number so that the rule is tested on every system.
    switch (windowsError) {
    case 39:    // ERROR_HANDLE_DISK_FULL
    case 112:   // ERROR_DISK_FULL
        return QString::fromUtf8(DiskFull);
    case 223:   // ERROR_FILE_TOO_LARGE
        return QString::fromUtf8(TooLarge);
    case 5:     // ERROR_ACCESS_DENIED
    case 32:    // ERROR_SHARING_VIOLATION
    case 33:    // ERROR_LOCK_VIOLATION
        return QString::fromUtf8(NotAllowed);
    case 19:    // ERROR_WRITE_PROTECT
        return QString::fromUtf8(ReadOnly);
    case 1295:  // ERROR_DISK_QUOTA_EXCEEDED
        return QString::fromUtf8(Quota);
    case 23:    // ERROR_CRC
    case 29:    // ERROR_WRITE_FAULT
    case 1117:  // ERROR_IO_DEVICE
        return QString::fromUtf8(DiskError);
    case 3:     // ERROR_PATH_NOT_FOUND
        return QString::fromUtf8(NoFolder);
    case 21:    // ERROR_NOT_READY
    case 1167:  // ERROR_DEVICE_NOT_CONNECTED
    case 55:    // ERROR_DEV_NOT_EXIST
        return QString::fromUtf8(DiskGone);
    }
    return fromSystem(systemText);
}
