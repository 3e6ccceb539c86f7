#ifndef DEVELOPERMESSAGES_H
#define DEVELOPERMESSAGES_H

// Qt's own warnings and the program's messages for its developers are
// English, and say nothing the user's Polish messages do not: they reach
// standard error only when asked for (telvoro-cli --verbose).
class DeveloperMessages
{
public:
    static void showOnlyIf(bool shown);
};

#endif
