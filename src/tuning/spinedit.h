#pragma once
#include <QWidget>

class QLineEdit;
class QToolButton;

// An integer edit with up and down buttons. Its value is what its text says: a text that is no
// number reads as the minimum and is reset to it. `changed` follows every change of the text,
// also one made by setValue(), so a handler that sets the value of its own control runs again,
// nested, before the assignment returns. Enter is not acted on here: it is passed on as
// `enterPressed` and swallowed.
//
// Keys typed into the text make a value that is not finished yet: "1" on the way to "150". Until
// it is committed (Enter, leaving the control, a step, or commit() by whoever reads it) the text
// stays as typed, isTyping() is true, and `committed` follows once it is done, so that rules
// that weigh this value against another control wait for the whole number.
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
    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

    bool isTyping() const { return m_typing; }
    // Takes what was typed as the value: limits the text and says `committed` if anything was typed.
    void commit();

    // What the control is, for screen readers and tooltips; its step buttons belong to it.
    void describe(const QString &name, const QString &toolTip);

signals:
    void changed();
    void committed();
    void enterPressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int bounded(int value) const { return value < m_min ? m_min : value > m_max ? m_max : value; }
    void step(int delta);
    void limitText();

    int m_min;
    int m_max;
    bool m_typing = false;
    QLineEdit *m_edit;
    QToolButton *m_up;
    QToolButton *m_down;
};
