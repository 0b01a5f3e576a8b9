// The file and folder choosers as the user sees them: Qt's own, never a
// desktop's native one (that speaks the desktop's language, not the
// program's), with sizes and dates written the program's way, in Romanian:
// Qt takes those from the system's locale, not from its translations.
#pragma once

#include <QString>

class QFileDialog;

// Sets dialog up so: called before it is shown.
void UseProgramWording(QFileDialog &dialog);
// Runs dialog so set up: the chosen path, empty when the user cancels.
QString RunChooser(QFileDialog &dialog);

// A file size as the chooser shows it: "512 octeti", "2,5 KB", "1,2 MB".
QString FileSizeText(qint64 bytes);
