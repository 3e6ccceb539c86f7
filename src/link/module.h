#ifndef MODULE_H
#define MODULE_H

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTimer>

class Configuration;
class QSerialPort;

// The serial link to one TX48 module: the port scan, the connection and every
// command of the module's protocol. Each wait is a nested event loop, so the
// window keeps working while a command is outstanding.
class Module : public QObject
{
    Q_OBJECT

public:
    Module();

    bool connectPort(QString name);
    void disconnectPort();
    bool testPort(QString name);
    bool isConnected() const;
    // True while a command waits for its answer; a second command is refused
    // meanwhile, so two exchanges never mix their answers.
    bool isBusy() const;

    void waitHalfSecond();
    static QByteArray padded(QByteArray text, int length);
    bool probe();
    QByteArray readConfiguration();
    QByteArray readOnlineState();
    void sendManualOutputs(quint16 ao1, quint16 ao2, quint8 doMask);
    bool writeSettingsBlock(const Configuration &configuration);
    bool writeSmsBlock(const Configuration &configuration);
    bool writePinPuk(QByteArray pin, QByteArray puk, quint8 pinRequest);

    // The module's period is 500 ms; tests may shorten it. The waits of the
    // port test (300 ms) and of its retry (1000 ms) shrink in proportion.
    void setPeriodForTests(int milliseconds);

    QSerialPort *port;
    QList<QPair<QString, QString>> availablePorts;
    QTimer portsTimer;

signals:
    void newAvailablePorts();

public slots:
    void readAvaiblePorts();

private:
    void waitMilliseconds(int milliseconds);
    enum class Answer { Taken, Left };
    QByteArray exchange(const QByteArray &message, int periodsBefore, int periodsAfter,
                        Answer answer = Answer::Taken);
    static QString systemLocation(const QString &name);

    int period = 500;
    bool busy = false;
};

#endif
