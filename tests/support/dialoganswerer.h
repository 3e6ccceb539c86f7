#ifndef DIALOGANSWERER_H
#define DIALOGANSWERER_H

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QString>
#include <QTimer>
#include <functional>

// Answers the modal dialogs a test expects, as a user would: it waits for
// the next modal dialog, records what it says and presses a button. A modal
// dialog that nobody expected is rejected after a few seconds and recorded in
// `unexpected`, so that no test can hang on one.
class DialogAnswerer : public QObject
{
    Q_OBJECT

public:
    struct Seen
    {
        QString className;
        QString title;
        QString text;
        // A message box's informative text.
        QString details;
    };
    using Answer = std::function<void(QWidget *dialog)>;

    explicit DialogAnswerer(QObject *parent = nullptr);

    void expect(Answer answer);
    // QMessageBox: press the button whose text (without '&') is buttonText.
    void expectMessageBox(const QString &buttonText = QStringLiteral("OK"));
    // Any dialog: press Escape.
    void expectEscape();
    // QFileDialog: choose path and accept, or cancel.
    void expectFile(const QString &path);
    void expectFileCancel();
    // QInputDialog: enter an integer and accept, or cancel.
    void expectInteger(int value);
    void expectInputCancel();

    // True once every expected dialog was answered (waits up to timeoutMs).
    bool waitAllAnswered(int timeoutMs = 5000);
    // Closes a dialog nobody meant to answer: a message box by its escape
    // button, any other by closing it.
    static void dismiss(QWidget *dialog);
    int pendingCount() const { return answers.size(); }

    QList<Seen> seen;
    QList<Seen> unexpected;

private:
    void poll();
    static Seen describe(QWidget *dialog);

    QTimer pollTimer;
    QQueue<Answer> answers;
    QPointer<QWidget> lastAnswered;
    QPointer<QWidget> waitingDialog;
    QElapsedTimer waitingSince;
};

#endif
