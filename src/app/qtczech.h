#pragma once

class QCoreApplication;

// Loads Qt's own Czech texts ("Ano", "Ne", "Storno", the file and colour dialogs) before any window
// is built, fills the file types the catalogue lacks, and makes Czech the default locale. False
// when the texts are not installed (Debian: qt6-translations-l10n); Qt then speaks English.
bool installQtCzech(QCoreApplication &app);
