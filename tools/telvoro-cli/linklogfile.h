#ifndef LINKLOGFILE_H
#define LINKLOGFILE_H

#include <QString>

class LinkLog;

// The file of --log: every entry of the link logs it follows appended as one
// line (see LinkLog::line) and flushed at once, so that the log is whole up
// to the moment a program is stopped. A new file is open to its owner alone,
// since the blocks written hold phone numbers and texts.
namespace LinkLogFile {

// Opens the file to append to, creating it when needed. Only a regular
// file: a FIFO (which would wait for its reader), a terminal or another
// device is refused at once. False, with the reason told on standard
// error, when it cannot be opened.
bool open(const QString &path);
// From now on every entry `log` gets goes to the file, when one is open.
void follow(const LinkLog *log);
// ExitFileFault once a line could not be written (that was told when it
// happened), otherwise exitCode.
int finish(int exitCode);

} // namespace LinkLogFile

#endif
