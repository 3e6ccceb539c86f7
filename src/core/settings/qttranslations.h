#ifndef QTTRANSLATIONS_H
#define QTTRANSLATIONS_H

class QCoreApplication;

// Loads Qt's own Polish translations (Debian package qt6-translations-l10n),
// so that file dialogs, standard buttons and the command line's help speak
// the program's language. Without them Qt's texts stay English; that is not
// worth a message.
void installQtTranslations(QCoreApplication &application);

#endif
