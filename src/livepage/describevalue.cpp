#include "describevalue.h"
#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace {

const char CaptionProperty[] = "valueCaption";

// A label that shows a value: named by its caption, with what it shows as value and as read-only
// text. A label named by setAccessibleName would hide its text from the accessibility tree and
// stop announcing changes, so the caption is kept aside.
class ValueLabelAccess : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit ValueLabelAccess(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return widget()->property(CaptionProperty).toString();
        if (t == QAccessible::Value)
            return shown();
        return QAccessibleWidget::text(t);
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(int startOffset, int endOffset) const override
    {
        return shown().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(shown().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    int selectionCount() const override { return 0; }
    void selection(int, int *startOffset, int *endOffset) const override { *startOffset = *endOffset = 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return QString();
    }

private:
    QString shown() const { return static_cast<QLabel *>(widget())->text(); }
};

QAccessibleInterface *valueLabelFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QLabel") && object && object->property(CaptionProperty).isValid())
        return new ValueLabelAccess(static_cast<QLabel *>(object));
    return nullptr;
}

}  // namespace

void describeValue(QWidget *value, const QString &caption)
{
    auto *label = qobject_cast<QLabel *>(value);
    if (!label) {
        value->setAccessibleName(caption);
        return;
    }
    static const bool installed = [] {
        QAccessible::installFactory(valueLabelFactory);
        return true;
    }();
    Q_UNUSED(installed)
    label->setAccessibleName(QString());
    label->setProperty(CaptionProperty, caption);
    // A label built with its text already has the plain interface that names it by the text.
    QAccessibleInterface *made = QAccessible::queryAccessibleInterface(label);
    if (made && !dynamic_cast<ValueLabelAccess *>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}
