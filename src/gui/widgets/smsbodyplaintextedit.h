#ifndef SMSBODYPLAINTEXTEDIT_H
#define SMSBODYPLAINTEXTEDIT_H

#include <QPlainTextEdit>

// The editor of a status SMS text. The module keeps the text in a 140-byte
// UTF-8 field, so whatever the user types, pastes, drops or composes is
// written without Polish diacritics and without line breaks and never takes
// the text past 140 bytes: what the user sees is what the module gets.
class SmsBodyPlainTextEdit : public QPlainTextEdit
{
public:
    explicit SmsBodyPlainTextEdit(QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    int freeBytes() const;
};

#endif
