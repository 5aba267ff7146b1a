#pragma once
class QString;
class QWidget;

// Gives a control that shows a value (a label, a read-only edit) its caption as the name a
// screen reader says, and leaves its value readable beside the name: an edit keeps its text as
// value; a label gives what it shows as its accessible value and text, read whenever asked, so a
// screen reader always gets the value on screen. A label still announces each new text itself.
void describeValue(QWidget *value, const QString &caption);
