#pragma once
#include <QColor>
#include <QWidget>

// A horizontal bar without text: minimum 0, a maximum, a progress kept within 0..maximum and a
// colour for the filled part.
class BarGauge : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int progress READ progress WRITE setProgress)
    Q_PROPERTY(QColor foreColor READ foreColor WRITE setForeColor)
public:
    explicit BarGauge(int maximum, const QColor &foreColor, QWidget *parent = nullptr);

    int maximum() const { return m_maximum; }
    // Lowering the maximum below the progress lowers the progress with it.
    void setMaximum(int maximum);
    int progress() const { return m_progress; }
    void setProgress(int value);
    QColor foreColor() const { return m_foreColor; }
    void setForeColor(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int filledWidth() const;

    int m_maximum;
    int m_progress = 0;
    QColor m_foreColor;
};
