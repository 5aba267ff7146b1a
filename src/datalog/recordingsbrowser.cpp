#include "recordingsbrowser.h"
#include "logformat.h"
#include "plotwidget.h"
#include "recordingplot.h"
#include "recordingreader.h"
#include "recordingspage.h"
#include "prompts/prompts.h"
#include "toolsetup/toolsetup.h"
#include "textformat/czechnumber.h"
#include <QAbstractItemView>
#include <QStyle>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPushButton>
#include <QSaveFile>
#include <QTreeWidget>
#include <algorithm>

namespace {
constexpr QSize PictureSize(1200, 720);
const QString Caption = QStringLiteral("Záznamy");

QString sizeText(qint64 bytes)
{
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 kB").arg((bytes + 1023) / 1024);
    return czechDecimal(bytes / (1024.0 * 1024.0), 1) + QStringLiteral(" MB");
}
}

RecordingsBrowser::RecordingsBrowser(RecordingsPage *page, const ToolSetup *setup, Prompts *prompts)
    : QObject(page), m_page(page), m_setup(setup), m_prompts(prompts), m_plot(page->plot()),
      m_alignA(page->control<QComboBox>("ZarovnaniA")), m_alignB(page->control<QComboBox>("ZarovnaniB")),
      m_compare(page->control<QPushButton>("PorovnatZaznam"))
{
    connect(page->list(), &QTreeWidget::itemSelectionChanged, this, &RecordingsBrowser::listSelected);
    connect(page->control<QPushButton>("Otevrit"), &QPushButton::clicked, this, &RecordingsBrowser::openFile);
    connect(m_compare, &QPushButton::clicked, this, &RecordingsBrowser::compareFile);
    connect(page->control<QPushButton>("UlozitObrazek"), &QPushButton::clicked, this, &RecordingsBrowser::saveImage);
    connect(page->control<QPushButton>("Cele"), &QPushButton::clicked, m_plot, &PlotWidget::showAll);
    const char *const lanes[PlotView::LaneCount] = {"PasLambda", "PasTPS", "PasPoloha"};
    for (int l = 0; l < PlotView::LaneCount; ++l) {
        connect(page->control<QCheckBox>(lanes[l]), &QCheckBox::toggled, this,
                [this, l](bool on) { m_plot->setLaneShown(PlotView::Lane(l), on); });
    }
    connect(m_alignA, &QComboBox::activated, this, &RecordingsBrowser::realign);
    connect(m_alignB, &QComboBox::activated, this, &RecordingsBrowser::realign);
    endComparison();
}

RecordingsBrowser::~RecordingsBrowser() = default;

QString RecordingsBrowser::folder() const
{
    return m_setup->dataFilePath(LogFormat::folderName());
}

void RecordingsBrowser::refreshList()
{
    QTreeWidget *list = m_page->list();
    const QSignalBlocker quiet(list);
    list->clear();
    struct Entry
    {
        QFileInfo file;
        QDateTime start;
    };
    QList<Entry> entries;
    for (const QFileInfo &file : QDir(folder()).entryInfoList({QStringLiteral("*.csv")}, QDir::Files))
        entries.append({file, LogFormat::startOf(file)});
    // Newest first; the later parts of one recording before the first.
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.start != b.start ? a.start > b.start : a.file.fileName() > b.file.fileName();
    });
    for (const Entry &entry : entries) {
        const QString path = entry.file.filePath();
        const RecordingSummary summary = summarizeRecording(path);
        auto *item = new QTreeWidgetItem(list, {entry.file.completeBaseName(),
                                                summary.valid ? PlotDrawing::minutesText((summary.durationMs + 500) / 1000) : QStringLiteral("?"),
                                                sizeText(summary.bytes)});
        item->setData(0, Qt::UserRole, path);
        item->setData(0, Qt::UserRole + 1, summary.valid);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        if (!summary.valid)
            item->setToolTip(0, QStringLiteral("Soubor nelze přečíst jako záznam."));
        if (entry.file == QFileInfo(m_path))
            item->setSelected(true);
    }
}

void RecordingsBrowser::showNewest()
{
    QTreeWidget *list = m_page->list();
    if (m_recording)
        return;
    const QSignalBlocker quiet(list);
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = list->topLevelItem(i);
        if (!item->data(0, Qt::UserRole + 1).toBool())
            continue;
        if (open(item->data(0, Qt::UserRole).toString()))
            item->setSelected(true);
        return;
    }
}

void RecordingsBrowser::listSelected()
{
    const QList<QTreeWidgetItem *> chosen = m_page->list()->selectedItems();
    if (!chosen.isEmpty())
        open(chosen.first()->data(0, Qt::UserRole).toString());
}

std::unique_ptr<Recording> RecordingsBrowser::read(const QString &path)
{
    RecordingRead result = readRecordingFile(path);
    const QString name = QFileInfo(path).fileName();
    if (!result.usable()) {
        m_prompts->message(Caption, QStringLiteral("Soubor %1 nelze přečíst jako záznam.\n%2").arg(name, result.error));
        return nullptr;
    }
    if (!result.error.isEmpty())
        m_prompts->message(Caption, QStringLiteral("Soubor %1 je poškozený.\n%2\nZobrazeno je %3 řádků před ním.")
                                        .arg(name, result.error)
                                        .arg(result.recording.rows()));
    else if (result.recording.isEmpty())
        m_prompts->message(Caption, QStringLiteral("Záznam %1 neobsahuje žádný řádek.").arg(name));
    return std::make_unique<Recording>(std::move(result.recording));
}

bool RecordingsBrowser::open(const QString &path)
{
    std::unique_ptr<Recording> r = read(path);
    if (!r)
        return false;
    endComparison();
    m_recording = std::move(r);
    m_path = path;
    m_plot->setRecording(m_recording.get());
    emit recordingChanged();
    return true;
}

void RecordingsBrowser::openFile()
{
    FileQuestion q;
    q.title = QStringLiteral("Otevřít záznam");
    q.folder = folder();
    q.filter = QStringLiteral("Záznamy (*.csv);;Všechny soubory (*)");
    const QString path = m_prompts->askOpenFile(q);
    if (path.isEmpty())
        return;
    if (open(path)) {
        const QSignalBlocker quiet(m_page->list());
        m_page->list()->clearSelection();
        refreshList();
    }
}

void RecordingsBrowser::fillAlignment(QComboBox *box, const Recording &r)
{
    box->clear();
    box->addItem(QStringLiteral("začátek"), 0);
    for (const Recording::Marker &m : r.markers()) {
        const QString name = QStringLiteral("značka %1").arg(m.number);
        box->addItem(m.text.isEmpty() ? name : name + QStringLiteral(" – ") + m.text, m.number);
        box->setItemData(box->count() - 1, m.text, Qt::ToolTipRole);
    }
    // The box is narrow on the page; its list opens as wide as its longest text.
    int widest = 0;
    for (int i = 0; i < box->count(); ++i)
        widest = std::max(widest, box->fontMetrics().horizontalAdvance(box->itemText(i)));
    box->view()->setMinimumWidth(widest + 2 * box->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

bool RecordingsBrowser::compareWith(const QString &path)
{
    if (!m_recording) {
        m_prompts->message(Caption, QStringLiteral("Nejdřív vyberte záznam, se kterým se má porovnávat."));
        return false;
    }
    std::unique_ptr<Recording> r = read(path);
    if (!r)
        return false;
    m_comparison = std::move(r);
    m_comparisonPath = path;
    fillAlignment(m_alignA, *m_recording);
    fillAlignment(m_alignB, *m_comparison);
    m_alignA->setEnabled(true);
    m_alignB->setEnabled(true);
    m_compare->setText(QStringLiteral("Bez porovnání"));
    realign();
    emit comparisonChanged();
    return true;
}

void RecordingsBrowser::endComparison()
{
    const bool had = m_comparison != nullptr;
    m_comparison.reset();
    m_comparisonPath.clear();
    m_alignA->clear();
    m_alignB->clear();
    m_alignA->setEnabled(false);
    m_alignB->setEnabled(false);
    m_compare->setText(QStringLiteral("Porovnat s…"));
    if (m_plot->overlay().recording)
        m_plot->setOverlay({});
    if (had)
        emit comparisonChanged();
}

void RecordingsBrowser::compareFile()
{
    if (m_comparison) {
        endComparison();
        return;
    }
    FileQuestion q;
    q.title = QStringLiteral("Porovnat se záznamem");
    q.folder = folder();
    q.filter = QStringLiteral("Záznamy (*.csv);;Všechny soubory (*)");
    const QString path = m_prompts->askOpenFile(q);
    if (!path.isEmpty())
        compareWith(path);
}

void RecordingsBrowser::realign()
{
    if (!m_recording || !m_comparison)
        return;
    // The same moment of both drives, a start or a marker of each, at the same place.
    const auto anchor = [](const Recording &r, int marker) {
        const Recording::Marker *m = marker > 0 ? r.marker(marker) : nullptr;
        return m ? r.ms(m->row) : r.firstMs();
    };
    const qint64 a = anchor(*m_recording, m_alignA->currentData().toInt());
    const qint64 b = anchor(*m_comparison, m_alignB->currentData().toInt());
    m_plot->setOverlay({m_comparison.get(), a - b});
}

QString RecordingsBrowser::alignmentText() const
{
    if (!m_comparison)
        return {};
    return QStringLiteral("Světlejší čáry: %1; zarovnáno: %2 = %3")
        .arg(recordingTitle(m_comparisonPath), m_alignA->currentText(), m_alignB->currentText());
}

void RecordingsBrowser::saveImage()
{
    if (!m_recording) {
        m_prompts->message(Caption, QStringLiteral("Nejdřív vyberte záznam."));
        return;
    }
    FileQuestion q;
    q.title = QStringLiteral("Uložit obrázek");
    q.folder = m_setup->dataFolder();
    q.filter = QStringLiteral("Obrázky PNG (*.png)");
    q.fileName = QFileInfo(m_path).completeBaseName() + QStringLiteral(".png");
    q.defaultSuffix = QStringLiteral("png");
    q.confirmOverwrite = true;
    const QString path = m_prompts->askSaveFile(q);
    if (path.isEmpty())
        return;
    QStringList title{recordingTitle(m_path)};
    if (m_comparison)
        title << alignmentText();
    const QImage image = plotPicture(*m_recording, m_plot->view(), m_plot->overlay(), title, PictureSize);
    // Never a half-written picture over a good one.
    QSaveFile file(path);
    QImageWriter writer(&file, "png");
    if (!file.open(QIODevice::WriteOnly) || !writer.write(image) || !file.flush() || !file.commit()) {
        const QString why = writer.error() != QImageWriter::UnknownError ? writer.errorString() : file.errorString();
        file.cancelWriting();
        m_prompts->error(Caption, QStringLiteral("Obrázek %1 nelze uložit: %2").arg(QDir::toNativeSeparators(path), why));
    }
}
