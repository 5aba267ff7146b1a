#include "spinedit.h"
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

namespace {
QToolButton *stepButton(Qt::ArrowType arrow, const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAccessibleName(caption);
    button->setToolTip(caption);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    button->setFixedWidth(14);
    return button;
}

// Whole numbers that do not fit an int are beyond every limit anyway.
bool parse(const QString &text, int &out)
{
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?)(\\d+)\\s*$"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return false;
    bool ok = false;
    const qlonglong v = m.captured(2).toLongLong(&ok);
    const bool negative = m.captured(1) == QLatin1String("-");
    if (!ok || v > std::numeric_limits<int>::max())
        out = negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    else
        out = negative ? -int(v) : int(v);
    return true;
}
}

SpinEdit::SpinEdit(const QString &name, int minValue, int maxValue, QWidget *parent)
    : QWidget(parent), m_min(minValue), m_max(maxValue)
{
    setObjectName(name);
    m_edit = new QLineEdit(QString::number(minValue), this);
    m_edit->setObjectName(name + QStringLiteral("_text"));
    // Digits only (and a sign where the range has negative numbers); the value rules do the rest.
    const QString pattern = minValue < 0 ? QStringLiteral("[+-]?\\d{0,6}") : QStringLiteral("\\d{0,6}");
    m_edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), m_edit));
    m_edit->installEventFilter(this);
    setFocusProxy(m_edit);
    setFocusPolicy(Qt::StrongFocus);

    m_up = stepButton(Qt::UpArrow, name + QStringLiteral("_up"), QStringLiteral("Zvýšit"), this);
    m_down = stepButton(Qt::DownArrow, name + QStringLiteral("_down"), QStringLiteral("Snížit"), this);
    auto *buttons = new QVBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(0);
    buttons->addWidget(m_up);
    buttons->addWidget(m_down);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_edit);
    row->addLayout(buttons);

    // The line edit says textEdited (keys, paste, undo) before textChanged, so a handler of
    // `changed` already knows whether the technician is still typing.
    connect(m_edit, &QLineEdit::textEdited, this, [this] { m_typing = true; });
    connect(m_edit, &QLineEdit::textChanged, this, &SpinEdit::changed);
    connect(m_up, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
}

QString SpinEdit::text() const
{
    return m_edit->text();
}

int SpinEdit::value()
{
    int v = 0;
    if (!parse(m_edit->text(), v)) {
        // A field emptied to type anew stays empty until the value is committed.
        if (!m_typing)
            setValue(m_min);
        return m_min;
    }
    return bounded(v);
}

void SpinEdit::setValue(int value)
{
    // A value set from outside replaces whatever was being typed.
    m_typing = false;
    // The line edit says nothing when the text stays the same, so neither does this control.
    m_edit->setText(QString::number(bounded(value)));
}

void SpinEdit::step(int delta)
{
    // A step commits what was typed: it counts from the typed number, and the rules run once.
    const bool typed = m_typing;
    setValue(value() + delta);
    if (typed)
        emit committed();
}

void SpinEdit::commit()
{
    const bool typed = m_typing;
    m_typing = false;
    limitText();
    if (typed)
        emit committed();
}

void SpinEdit::describe(const QString &name, const QString &tip)
{
    setAccessibleName(name);
    m_edit->setAccessibleName(name);
    setToolTip(tip);
    m_edit->setToolTip(tip);
    m_up->setAccessibleDescription(name);
    m_down->setAccessibleDescription(name);
}

void SpinEdit::limitText()
{
    // Also "0150" becomes "150": the field shows the number the unit will get. One assignment,
    // so that a rule run by the change runs once.
    int v = 0;
    v = parse(m_edit->text(), v) ? bounded(v) : m_min;
    if (m_edit->text() != QString::number(v))
        setValue(v);
}

bool SpinEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit) {
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                commit();
                emit enterPressed();
                return true;
            }
            if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
                step(key->key() == Qt::Key_Up ? 1 : -1);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut
                   && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
            // The field's own context menu (to paste, say) does not end the typing.
            commit();
        }
    }
    return QWidget::eventFilter(watched, event);
}
