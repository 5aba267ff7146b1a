#pragma once
#include "recording.h"
#include <QObject>
#include <QString>
#include <memory>

class QComboBox;
class QPushButton;
class PlotWidget;
class Prompts;
class RecordingsPage;
class ToolSetup;

// The list of recordings, the one shown and the one compared with it, and the picture of the plot.
class RecordingsBrowser : public QObject
{
    Q_OBJECT
public:
    RecordingsBrowser(RecordingsPage *page, const ToolSetup *setup, Prompts *prompts);
    ~RecordingsBrowser() override;

    QString folder() const;
    // Reads the folder again; the recording shown stays.
    void refreshList();
    // With nothing shown yet, the newest: what a technician back from a drive wants to see.
    void showNewest();
    // Reads a recording and shows it; a file it cannot read is said, naming the line, and the
    // recording shown before stays.
    bool open(const QString &path);
    // Draws `path` over the recording shown, aligned at the starts.
    bool compareWith(const QString &path);
    void endComparison();

    const Recording *recording() const { return m_recording.get(); }
    QString path() const { return m_path; }
    const Recording *comparison() const { return m_comparison.get(); }
    QString comparisonPath() const { return m_comparisonPath; }
    // How the comparison is aligned, in words, for the picture.
    QString alignmentText() const;

    // "Otevřít…", "Porovnat s…", "Uložit obrázek".
    void openFile();
    void compareFile();
    void saveImage();

signals:
    // Another recording is shown (or none): a replay starts over.
    void recordingChanged();
    // A recording to compare with came, or went.
    void comparisonChanged();

private:
    std::unique_ptr<Recording> read(const QString &path);
    void fillAlignment(QComboBox *box, const Recording &r);
    void realign();
    void listSelected();

    RecordingsPage *m_page;
    const ToolSetup *m_setup;
    Prompts *m_prompts;
    PlotWidget *m_plot;
    QComboBox *m_alignA, *m_alignB;
    QPushButton *m_compare;
    std::unique_ptr<Recording> m_recording;
    std::unique_ptr<Recording> m_comparison;
    QString m_path;
    QString m_comparisonPath;
};
