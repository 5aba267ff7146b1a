#pragma once
#include "setcomparison.h"
#include <QObject>
#include <QString>

class ConfigFiles;
class QTreeWidget;

class Prompts;
class ServicePage;
class ToolSetup;
class UnitData;

// "Porovnat" on the page "Servis": a chosen file (a backup by default) beside the tool's copy,
// read-only, the differing rows marked; a button loads the file as "Načti ze souboru" would.
class SetComparisonView : public QObject
{
    Q_OBJECT
public:
    static QString title() { return QStringLiteral("Vyber soubor k porovnání"); }

    SetComparisonView(UnitData *data, const ToolSetup *setup, ServicePage *page, ConfigFiles *files, Prompts *prompts,
                      QObject *parent = nullptr);

    void compareWithFile();
    // Sets `path` beside the tool's copy; false (and said) when it cannot be read.
    bool compareWith(const QString &path);
    // Shows the comparison again, after the tool's copy changed.
    void refresh();

    // The rows into `table`, the differing ones marked; returns how many differ.
    static int fill(QTreeWidget *table, const QList<ComparisonRow> &rows);
    // "1 rozdíl", "3 rozdíly", "5 rozdílů"
    static QString differences(int n);

private:
    void loadCompared();

    UnitData *m_data;
    const ToolSetup *m_setup;
    ServicePage *m_page;
    ConfigFiles *m_files;
    Prompts *m_prompts;
    QString m_path;
};
