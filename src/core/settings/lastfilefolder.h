#ifndef LASTFILEFOLDER_H
#define LASTFILEFOLDER_H

class QString;

// The folder of the file opened or saved last, where every file dialog of
// the program opens; empty before the first file.
QString lastFileFolder();
void rememberFileFolder(const QString &filePath);

#endif
