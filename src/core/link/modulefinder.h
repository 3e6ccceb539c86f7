#ifndef MODULEFINDER_H
#define MODULEFINDER_H

#include "link/connectionfailure.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

class ModuleSession;

// Finds the port a module answers on: tries the ports one after the other,
// each as a connection to a chosen port is made, and stays connected on the
// first where the module answers. A port that is busy, no serial port or not
// allowed is passed over at once, without the retries a port gets that may
// yet appear.
class ModuleFinder : public QObject
{
    Q_OBJECT

public:
    enum class Outcome { Found, NotFound, Cancelled };

    // One port tried and why no module answered there.
    struct Attempt
    {
        QString port;
        ConnectionFailure failure = ConnectionFailure::None;
        // The system's reason, as PortLock gives it; empty for NoAnswer and
        // where the system gave none.
        QString problem;
        // The first bytes another device answered with; empty when none.
        QByteArray answer;

        // Why, in a few words for the user.
        QString reason() const;
    };

    explicit ModuleFinder(ModuleSession &session, QObject *parent = nullptr);

    // The order ports are tried in: the last port used first, then USB
    // serial adapters, then the ports named by path, then the rest, each
    // group in the list's order.
    static QStringList candidates(const QList<QPair<QString, QString>> &ports, const QString &lastPort);
    // The port the window connected to last ("LastPortUsed" of the
    // settings store), which it tries first; telvoro-cli only reads it.
    static QString lastPortUsed();
    static void rememberPort(const QString &name);

    // Tries `ports` in their order; connected through the session when Found.
    Outcome find(const QStringList &ports);
    // The port being tried gives up at its next wait (the longest is the
    // port test's); no further port is tried.
    void cancel();

    QString foundPort() const;
    // Every port tried without a module, in order.
    const QList<Attempt> &attempts() const;
    // One line a port: "/dev/ttyS0: brak odpowiedzi.".
    QString report() const;

signals:
    // A port is about to be tried: the `index`-th (from 0) of `count`.
    void trying(const QString &port, int index, int count);

private:
    // The first bytes of an answer that was not the module's, from the
    // session's log entries after `firstEntry`.
    QByteArray foreignAnswer(qsizetype firstEntry) const;

    ModuleSession &session;
    bool cancelled = false;
    QString found;
    QList<Attempt> tried;
};

#endif
