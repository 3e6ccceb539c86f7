#ifndef NAMESPAGE_H
#define NAMESPAGE_H

#include <QObject>

class QLabel;
class QModelIndex;
class QPlainTextEdit;
class QTableWidget;
class QTableWidgetItem;
struct FormWidgets;

// The user's names of the inputs, phones and statuses, kept in the settings
// store, and the status SMS texts, kept in the status list's items until the
// form is collected. A name shows also wherever the form repeats it.
// Touches: the status list, the SMS text editor with its two labels, and the
// name labels and power-failure boxes of FormWidgets.
class NamesPage : public QObject
{
    Q_OBJECT

public:
    NamesPage(const FormWidgets &form, QTableWidget *statuses, QPlainTextEdit *smsText, QLabel *remaining,
              QLabel *info);

    void inputNameChanged(QTableWidgetItem *item);
    void phoneNameChanged(QTableWidgetItem *item);
    void outputNameChanged(QTableWidgetItem *item);
    void statusNameChanged(QTableWidgetItem *item);
    void statusClicked(const QModelIndex &index);
    // After the form is filled the editor must not keep a text of the
    // previous record: typing would store it, with the new character, into
    // this one.
    void showSelectedSmsText();
    void smsTextEdited();
    void deleteSmsText();

signals:
    // The inputs' names changed; the trend names its axes by them.
    void inputNamesChanged();

private:
    void refreshInputNames();
    void refreshPhoneNames();
    void showSmsText(const QString &text);

    const FormWidgets &form;
    QTableWidget *statuses;
    QPlainTextEdit *smsText;
    QLabel *remaining;
    QLabel *info;
};

#endif
