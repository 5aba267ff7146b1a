#pragma once

class QCoreApplication;

// Loads Qt's own Czech texts ("Ano", "Ne", "Storno", the file and colour dialogs) before any window
// is built. False when they are not installed (Debian: qt6-translations-l10n); Qt then speaks English.
bool installQtCzech(QCoreApplication &app);
