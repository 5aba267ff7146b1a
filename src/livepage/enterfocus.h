#pragma once
class QWidget;

// Enter in `from` is swallowed and moves the focus to `to`; every other key passes unchanged.
void moveFocusOnEnter(QWidget *from, QWidget *to);
