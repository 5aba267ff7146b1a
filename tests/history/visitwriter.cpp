// A second process against the same history server: keeps one visit of the unit named on the
// command line and ends once the server has it. Usage: visitwriter SOCKETDIR DATABASE USER QUEUEDIR SERIAL
#include "historyfixture.h"
#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6)
        return 2;
    HistoryTarget target;
    target.host = args[1];
    target.database = args[2];
    target.user = args[3];
    target.sslMode = QStringLiteral("disable");
    HistoryStore store(target, args[4]);
    store.start();
    store.saveVisit(HistoryWait::sampleVisit(UnitIdentity{args[5].toInt(), 2020}));
    return HistoryWait::settled(store) ? 0 : 1;
}
