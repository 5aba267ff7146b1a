#pragma once
#include <QKeySequence>
#include <functional>

class QWidget;

// One page of the window: its tab, its shortcut, how it is built and what it drops when the
// technician picks another page. The window's pages stand in one table of these
// (MainWindow::pageTable()), in the order of their tabs: a new page is its folder and one row.
struct WindowPage
{
    struct Shortcut
    {
        const char *name;     // the action's objectName
        const char *caption;  // the action's text
        QKeySequence keys;
        // Its place among the pages' shortcuts on the Info page, which lists Info before the
        // pages that came later.
        int listed;
        // What it does after showing the page, and how the Info page says so.
        std::function<void()> also = {};
        const char *alsoSays = "";
    };

    const char *caption;  // the tab's text, UTF-8
    const char *objectName;
    Shortcut shortcut;
    // The page, layout only.
    std::function<QWidget *()> build;
    // Its controllers, once the link and every page are there, after the report's wiring and
    // before the watch for unsaved changes. A page whose controllers must come before or after
    // other listeners of the same signals is attached in the window's wiring instead.
    std::function<void()> attach = {};
    // Runs on every page change by the technician, whichever page was left: a mode the page
    // started ends, a draft is dropped.
    std::function<void()> dropOnPageChange = {};
};
