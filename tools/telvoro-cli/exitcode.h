#ifndef EXITCODE_H
#define EXITCODE_H

#include <QString>

// The program's exit codes, as its help lists them.
enum ExitCode {
    ExitSuccess = 0,
    ExitDifferencesFound = 1,
    ExitWrongUsage = 2,
    ExitFileFault = 3,
    ExitModuleFault = 4,
    ExitModuleNotFound = 5
};

// Why a command cannot go on: the message for standard error (empty when it
// was told already) and the code the program ends with.
struct Failure
{
    ExitCode code = ExitSuccess;
    QString message;
};

#endif
