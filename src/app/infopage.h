#pragma once
#include <QWidget>

// The page "Info - F1": read-only notes for the technician on what each unit version supports.
class InfoPage : public QWidget
{
    Q_OBJECT
public:
    explicit InfoPage(QWidget *parent = nullptr);
    static QString notes();
};
