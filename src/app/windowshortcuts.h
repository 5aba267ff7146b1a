#pragma once
class QWidget;

// The window's shortcuts come before what a focused field would make of the same keys: an edit
// takes Ctrl+A (select all), Ctrl+C (copy) and Ctrl+E (end of line) for itself, so a page shortcut
// on those keys would never fire while the caret is in a field. From now on no field of `window`
// claims a key that one of the window's actions has as its shortcut; the actions are looked up at
// each key, so shortcuts added to the window later are covered too. Keys no action has (Ctrl+Insert,
// Shift+Insert, Ctrl+V) keep their meaning in the field, and other windows (dialogs) are left alone.
void giveWindowShortcutsPrecedence(QWidget *window);
