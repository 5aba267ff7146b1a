#pragma once
#include <QWidget>

class QLineEdit;
class QToolButton;

// An integer edit with up and down buttons. Its value is what its text says: a text that is no
// number reads as the minimum and is reset to it. `changed` follows every change of the text,
// also one made by setValue(), so a handler that sets the value of its own control runs again,
// nested, before the assignment returns. Enter is not acted on here: it is passed on as
// `enterPressed` and swallowed.
class SpinEdit : public QWidget
{
    Q_OBJECT
public:
    SpinEdit(const QString &name, int minValue, int maxValue, QWidget *parent = nullptr);

    int minValue() const { return m_min; }
    int maxValue() const { return m_max; }

    // The number in the text, within the limits. A number typed beyond them reads as the limit
    // at once, so nothing outside them is ever handed on, even before the control is left.
    int value();
    // Limits the number and writes it as text.
    void setValue(int value);

    QString text() const;
    QLineEdit *editor() const { return m_edit; }

signals:
    void changed();
    void enterPressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int bounded(int value) const { return value < m_min ? m_min : value > m_max ? m_max : value; }
    void step(int delta);
    void limitText();

    int m_min;
    int m_max;
    QLineEdit *m_edit;
    QToolButton *m_up;
    QToolButton *m_down;
};
