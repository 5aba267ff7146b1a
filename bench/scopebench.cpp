// The oscilloscope's drawing: a whole repaint of the visible part of a full two-channel view at
// every scale of the list, one new sample's segment, and the memory the tool holds with a full
// recording shown at the finest scale.
#include "benchsupport.h"
#include "app/mainwindow.h"
#include "link/linktransport.h"
#include "link/scoperecording.h"
#include "scope/scopecontrol.h"
#include "scope/scopedrawing.h"
#include "scope/scopepage.h"
#include "scope/scopesamples.h"
#include "scope/scopeview.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {
const char *const Scales[] = {"0.1", "0.2", "0.5", "1", "2", "5", "10", "20", "50"};

// The middle of the runs: other processes on a shared machine only ever add time.
double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// A window with a full two-channel recording on its oscilloscope page, fed through the link.
struct ScopeRig
{
    QTemporaryDir folder;
    BenchPort port;
    QuietPrompts prompts;
    MainWindow window{&port, &prompts};
    ScopePage *page = nullptr;

    bool start()
    {
        if (!folder.isValid() || !writeSettings(folder.path(), QStringLiteral("bench"), 250))
            return false;
        window.show();
        window.startUp(folder.path());
        window.link()->stopPolling();
        page = window.scopePage();
        window.showPage(page);
        page->twoChannels()->setChecked(true);
        page->recordBox()->click();
        for (int i = 0; i < ScopeRecording::MaxSamples; ++i) {
            port.arrive(QByteArray("\x02", 1) + char(128 + int(100 * std::sin(i / 20.0))) + '\x03');
            port.arrive(QByteArray("\x02", 1) + char(i % 256) + '\x03');
            if (i % 100 == 0)
                QCoreApplication::processEvents();
        }
        page->recordBox()->click();
        settle();
        return page->samples().count() == ScopeRecording::MaxSamples;
    }
    void setScale(const char *scale)
    {
        page->scale()->setCurrentText(QString::fromLatin1(scale));
        emit page->scale()->textActivated(QString::fromLatin1(scale));
        QScrollBar *bar = page->scrollBox()->horizontalScrollBar();
        bar->setValue(bar->maximum());
        settle();
    }
};
}

std::vector<Figure> measureScope()
{
    Figure repaint;
    repaint.label = QStringLiteral("e) scope: repaint of a full 2 x 3000 view");
    repaint.unit = QStringLiteral("ms");
    repaint.goal = 5;
    Figure segment;
    segment.label = QStringLiteral("f) scope: one new sample's segment");
    segment.unit = QStringLiteral("ms");
    segment.goal = 0.1;
    Figure memory;
    memory.label = QStringLiteral("g) resident memory, full recording at 0.1");
    memory.unit = QStringLiteral("MB");
    memory.goal = 80;

    ScopeRig rig;
    if (!rig.start()) {
        repaint.detail = segment.detail = memory.detail = QStringLiteral("the recording did not fill");
        return {repaint, segment, memory};
    }
    ScopeView *view = rig.page->view();

    // Whole repaints through the window's backing store, at the newest end of the trace.
    double worst = 0;
    QString worstScale;
    for (const char *scale : Scales) {
        rig.setScale(scale);
        std::vector<double> times;
        for (int i = 0; i < 41; ++i) {
            QElapsedTimer clock;
            clock.start();
            view->repaint();
            times.push_back(clock.nsecsElapsed() / 1e6);
        }
        const double ms = median(times);
        if (ms > worst) {
            worst = ms;
            worstScale = QString::fromLatin1(scale);
        }
    }
    repaint.value = worst;
    repaint.measured = true;
    repaint.detail = QStringLiteral("median, worst of the 9 scales (%1), %2 x %3 visible pixels of a box up to 30 020 wide")
                         .arg(worstScale)
                         .arg(rig.page->scrollBox()->viewport()->width())
                         .arg(ScopeDrawing::Height);

    // A new sample at the finest and the coarsest scale: the area of its segment only.
    double segmentWorst = 0;
    for (const char *scale : {"0.1", "50"}) {
        rig.setScale(scale);
        std::vector<double> batches;
        for (int batch = 0; batch < 41; ++batch) {
            constexpr int Rounds = 50;
            QElapsedTimer clock;
            clock.start();
            for (int i = 0; i < Rounds; ++i) {
                const int index = ScopeRecording::MaxSamples - 1 - (i % 40);
                view->repaint(ScopeDrawing::segmentArea(index, view->height(), rig.page->samples(), view->style()));
            }
            batches.push_back(clock.nsecsElapsed() / 1e6 / Rounds);
        }
        segmentWorst = std::max(segmentWorst, median(batches));
    }
    segment.value = segmentWorst;
    segment.measured = true;
    segment.detail = QStringLiteral("median, worst of scales 0.1 and 50, painted through the window");

    rig.setScale("0.1");
    const qint64 kb = residentKb(QCoreApplication::applicationPid());
    memory.measured = kb > 0;
    memory.value = kb / 1024.0;
    memory.detail = QStringLiteral("the whole window in the bench's process, paint box %1 px wide")
                        .arg(view->width());
    return {repaint, segment, memory};
}
