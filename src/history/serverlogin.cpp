#include "serverlogin.h"
#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QRegularExpression>

#ifdef VELKOR_LIBPQ
#include <libpq-fe.h>
#ifdef _WIN32
#include <winsock2.h>
#define poll WSAPoll
#else
#include <poll.h>
#endif
#endif

namespace ServerLogin {

#ifdef VELKOR_LIBPQ
bool refused(const HistoryTarget &target, int timeoutSeconds)
{
    const QList<QByteArray> keys = {"host", "port", "dbname", "user", "password", "sslmode", "connect_timeout"};
    const QList<QByteArray> values = {target.host.toUtf8(),     QByteArray::number(target.port), target.database.toUtf8(),
                                      target.user.toUtf8(),     target.password.toUtf8(),        target.sslMode.toUtf8(),
                                      QByteArray::number(timeoutSeconds)};
    QList<const char *> keywords, texts;
    for (int i = 0; i < keys.size(); ++i) {
        if (values[i].isEmpty())
            continue;
        keywords << keys[i].constData();
        texts << values[i].constData();
    }
    keywords << nullptr;
    texts << nullptr;
    PGconn *conn = PQconnectStartParams(keywords.constData(), texts.constData(), 0);
    if (!conn)
        return false;
    // The verbose form carries the SQLSTATE beside the server's words: "FATAL:  28P01: ...".
    PQsetErrorVerbosity(conn, PQERRORS_VERBOSE);
    QDeadlineTimer deadline(timeoutSeconds * 1000);
    PostgresPollingStatusType state = PGRES_POLLING_WRITING;
    while (state != PGRES_POLLING_OK && state != PGRES_POLLING_FAILED && !deadline.hasExpired()) {
        pollfd wait{PQsocket(conn), short(state == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        if (poll(&wait, 1, int(deadline.remainingTime())) < 0)
            break;
        state = PQconnectPoll(conn);
    }
    static const QRegularExpression loginState(QStringLiteral(":\\s+(28P01|28000):"));
    const bool result = state == PGRES_POLLING_FAILED
                        && (PQconnectionNeedsPassword(conn) || loginState.match(QString::fromUtf8(PQerrorMessage(conn))).hasMatch());
    PQfinish(conn);
    return result;
}
#else
bool refused(const HistoryTarget &, int)
{
    return false;  // built without libpq: the password is then asked for only by the password file
}
#endif

}  // namespace ServerLogin
