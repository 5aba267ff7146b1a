#pragma once
#include "visit.h"
#include <QString>

// Visits waiting to reach the history, as files in one folder: each change of a visit is a new
// file numbered after the last, so whoever writes never touches a file the sender may be taking.
// The sender takes the visits in the order they were first queued, each as its newest file has it,
// and removes a visit's files once the history has it.
class VisitQueue
{
public:
    explicit VisitQueue(const QString &folder);
    QString folder() const { return m_folder; }

    // False (with the reason) when the file could not be written.
    bool put(const Visit &visit, QString *error = nullptr);
    // New notes of a visit kept already: sent as the notes alone, never as the whole visit.
    bool putNotes(const QString &visitId, const QString &notes, QString *error = nullptr);

    // One waiting visit as its newest file has it, and all its files.
    struct Entry
    {
        Visit visit;  // an empty id when the newest file could not be read
        QStringList paths;
        bool notesOnly = false;  // only the visit's id and notes are meant
    };
    // In the order the visits were first queued.
    QList<Entry> entries() const;
    // How many visits (not files) are waiting.
    int waitingVisits() const;

    static QByteArray toJson(const Visit &visit);
    static Visit fromJson(const QByteArray &json, bool *ok = nullptr);

private:
    QStringList files() const;
    bool write(const QString &key, const QByteArray &json, QString *error);

    QString m_folder;
};
