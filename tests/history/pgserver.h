#pragma once
#include "history/historytarget.h"
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <unistd.h>

// A private PostgreSQL cluster in a temporary folder, listening only on a Unix socket there.
// initdb and postgres refuse to run as root: as root they run as the user "postgres".
class PgServer
{
public:
    // The folder with initdb and pg_ctl; empty when the server is not installed.
    static QString binDir()
    {
        const QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (auto it = versions.crbegin(); it != versions.crend(); ++it) {
            const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(*it);
            if (QFile::exists(bin + QStringLiteral("/initdb")) && QFile::exists(bin + QStringLiteral("/pg_ctl")))
                return bin;
        }
        return {};
    }

    bool init(QString *error)
    {
        m_dir = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/velkor-pg-XXXXXX"));
        if (!m_dir->isValid())
            return fail(error, QStringLiteral("no temporary folder"));
        if (::geteuid() == 0 && QProcess::execute(QStringLiteral("chown"), {QStringLiteral("postgres:"), m_dir->path()}) != 0)
            return fail(error, QStringLiteral("chown failed"));
        return run(QStringLiteral("initdb"), {QStringLiteral("-D"), data(), QStringLiteral("-A"), QStringLiteral("trust"),
                                              QStringLiteral("-U"), QStringLiteral("velkor"), QStringLiteral("--no-sync")},
                   error);
    }
    bool start(QString *error = nullptr)
    {
        return run(QStringLiteral("pg_ctl"),
                   {QStringLiteral("-D"), data(), QStringLiteral("-o"),
                    QStringLiteral("-k %1 -c listen_addresses='' -c fsync=off").arg(m_dir->path()), QStringLiteral("-l"),
                    m_dir->filePath(QStringLiteral("log")), QStringLiteral("-w"), QStringLiteral("start")},
                   error);
    }
    bool stop(QString *error = nullptr)
    {
        return run(QStringLiteral("pg_ctl"),
                   {QStringLiteral("-D"), data(), QStringLiteral("-m"), QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")},
                   error);
    }
    ~PgServer()
    {
        if (m_dir)
            stop();
    }

    HistoryTarget target() const
    {
        HistoryTarget t;
        t.host = m_dir->path();
        t.database = QStringLiteral("postgres");
        t.user = QStringLiteral("velkor");
        t.sslMode = QStringLiteral("disable");
        return t;
    }
    QString folder() const { return m_dir->path(); }

private:
    QString data() const { return m_dir->filePath(QStringLiteral("data")); }
    static bool fail(QString *error, const QString &text)
    {
        if (error)
            *error = text;
        return false;
    }
    bool run(const QString &program, const QStringList &arguments, QString *error)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        const QString path = binDir() + QLatin1Char('/') + program;
        if (::geteuid() == 0)
            p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), path} + arguments);
        else
            p.start(path, arguments);
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return fail(error, program + QStringLiteral(": ") + QString::fromLocal8Bit(p.readAll()));
        return true;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};
