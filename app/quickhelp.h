#ifndef QUICKHELP_H
#define QUICKHELP_H

#include <QString>

class QWidget;

// The program's quick help, a PDF file that the desktop's viewer opens.
namespace QuickHelp {

// Beside the program in the build tree; in the program's data folder once installed. The path
// beside the program stands when neither exists, for the message that names what is missing.
QString filePath();
// Opens the file, or tells the user, on top of the spreadsheet, where to get it.
void show(QWidget *parent);

} // namespace QuickHelp

#endif
