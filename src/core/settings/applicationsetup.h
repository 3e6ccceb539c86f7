#ifndef APPLICATIONSETUP_H
#define APPLICATIONSETUP_H

#include <QString>

// The program's name, as its windows and documents are titled.
extern const QString applicationTitle;

// What every program of the project sets before its application object is
// built: the settings store's organisation and application, so that a
// default QSettings opens the right one; the program's version; the plug-in
// folder beside the program; and a file-size limit that makes a write fail
// instead of ending the program with the user's work.
void prepareApplication();

#endif
