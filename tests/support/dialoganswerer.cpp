#include "dialoganswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

namespace {
constexpr int PollInterval = 20;
constexpr int UnexpectedDialogTimeout = 5000;
}

DialogAnswerer::DialogAnswerer(QObject *parent) : QObject(parent)
{
    connect(&pollTimer, &QTimer::timeout, this, &DialogAnswerer::poll);
    pollTimer.start(PollInterval);
}

void DialogAnswerer::expect(Answer answer)
{
    answers.enqueue(std::move(answer));
}

void DialogAnswerer::expectMessageBox(const QString &buttonText)
{
    expect([buttonText](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        if (!box) {
            qWarning("expected a message box, got %s", dialog->metaObject()->className());
            dialog->close();
            return;
        }
        for (QAbstractButton *button : box->buttons()) {
            if (button->text().remove(QLatin1Char('&')) == buttonText) {
                button->click();
                return;
            }
        }
        qWarning("message box has no button %s", qPrintable(buttonText));
        box->close();
    });
}

void DialogAnswerer::expectEscape()
{
    expect([](QWidget *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
}

void DialogAnswerer::expectFile(const QString &path)
{
    expect([path](QWidget *dialog) {
        auto *fileDialog = qobject_cast<QFileDialog *>(dialog);
        if (!fileDialog) {
            qWarning("expected a file dialog, got %s", dialog->metaObject()->className());
            dialog->close();
            return;
        }
        // Typed into the name field, as a user would; selectFile() races with
        // the dialog's folder model for a file that does not exist yet.
        if (auto *nameEdit = fileDialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            nameEdit->setText(path);
        else
            fileDialog->selectFile(path);
        QMetaObject::invokeMethod(fileDialog, "accept");
    });
}

void DialogAnswerer::expectFileCancel()
{
    expect([](QWidget *dialog) {
        if (auto *fileDialog = qobject_cast<QFileDialog *>(dialog))
            fileDialog->reject();
        else
            dialog->close();
    });
}

void DialogAnswerer::expectInteger(int value)
{
    expect([value](QWidget *dialog) {
        auto *input = qobject_cast<QInputDialog *>(dialog);
        if (!input) {
            qWarning("expected an input dialog, got %s", dialog->metaObject()->className());
            dialog->close();
            return;
        }
        input->setIntValue(value);
        input->accept();
    });
}

void DialogAnswerer::expectInputCancel()
{
    expect([](QWidget *dialog) {
        if (auto *input = qobject_cast<QInputDialog *>(dialog))
            input->reject();
        else
            dialog->close();
    });
}

bool DialogAnswerer::waitAllAnswered(int timeoutMs)
{
    return QTest::qWaitFor([this] { return answers.isEmpty(); }, timeoutMs);
}

DialogAnswerer::Seen DialogAnswerer::describe(QWidget *dialog)
{
    Seen seen{QString::fromLatin1(dialog->metaObject()->className()), dialog->windowTitle(), {}, {}};
    if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
        seen.text = box->text();
        seen.details = box->informativeText();
    }
    else if (auto *input = qobject_cast<QInputDialog *>(dialog))
        seen.text = input->labelText();
    return seen;
}

void DialogAnswerer::poll()
{
    QWidget *dialog = QApplication::activeModalWidget();
    if (!dialog || !dialog->isVisible() || dialog == lastAnswered)
        return;
    if (!answers.isEmpty()) {
        lastAnswered = dialog;
        seen.append(describe(dialog));
        answers.dequeue()(dialog);
        return;
    }
    if (dialog != waitingDialog) {
        waitingDialog = dialog;
        waitingSince.start();
        return;
    }
    if (waitingSince.elapsed() > UnexpectedDialogTimeout) {
        lastAnswered = dialog;
        unexpected.append(describe(dialog));
        qWarning("unexpected modal dialog rejected: %s", qPrintable(unexpected.last().text));
        dismiss(dialog);
    }
}

void DialogAnswerer::dismiss(QWidget *dialog)
{
    if (auto *box = qobject_cast<QMessageBox *>(dialog); box && box->escapeButton())
        box->escapeButton()->click();
    else
        dialog->close();
}
