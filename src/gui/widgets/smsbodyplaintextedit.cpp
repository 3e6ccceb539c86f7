#include "smsbodyplaintextedit.h"

#include "configuration/configuration.h"
#include "configuration/fieldtext.h"

#include <QHash>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace {

bool isLineBreak(QChar c)
{
    switch (c.unicode()) {
    case u'\n':
    case u'\r':
    case u'\v':
    case u'\f':
    case 0x0085:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

// The text as the editor stores it: Polish letters by their base letters,
// each line break by a space.
QString smsText(const QString &text)
{
    static const QHash<QChar, QChar> baseLetters = {
        {u'ą', u'a'}, {u'Ą', u'A'}, {u'ę', u'e'}, {u'Ę', u'E'},
        {u'ć', u'c'}, {u'Ć', u'C'}, {u'ś', u's'}, {u'Ś', u'S'},
        {u'ż', u'z'}, {u'Ż', u'Z'}, {u'ź', u'z'}, {u'Ź', u'Z'},
        {u'ł', u'l'}, {u'Ł', u'L'}, {u'ń', u'n'}, {u'Ń', u'N'},
        {u'ó', u'o'}, {u'Ó', u'O'},
    };
    // Composed form first, so that "z" followed by a combining dot is "ż".
    QString result = text.normalized(QString::NormalizationForm_C);
    result.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar &c : result) {
        if (isLineBreak(c))
            c = u' ';
        else
            c = baseLetters.value(c, c);
    }
    return result;
}

// The longest beginning of text that fits in byteBudget bytes of the SMS
// field, never splitting a character.
QString fittingPrefix(const QString &text, int byteBudget)
{
    return text.left(fittingTextLength(text, byteBudget));
}

// Whether a key's text would be inserted (control characters are not).
bool insertsText(const QString &text)
{
    return !text.isEmpty() && (text.at(0).isPrint() || text.at(0) == u'\t');
}

} // namespace

SmsBodyPlainTextEdit::SmsBodyPlainTextEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
}

void SmsBodyPlainTextEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool atLimit = fieldTextSize(toPlainText()) >= SmsWidth;
    const bool passes = atLimit
            ? (key == Qt::Key_Backspace || key == Qt::Key_Left || key == Qt::Key_Up
               || key == Qt::Key_Right || key == Qt::Key_Down)
            : (key != Qt::Key_Return && key != Qt::Key_Enter);
    const QString typed = smsText(event->text());
    if (!passes || (insertsText(typed) && fieldTextSize(typed) > freeBytes())) {
        event->ignore();
        return;
    }
    QKeyEvent filtered(event->type(), key, event->modifiers(), typed, false, 1);
    QPlainTextEdit::keyPressEvent(&filtered);
    event->setAccepted(filtered.isAccepted());
}

// Dead keys and input methods deliver letters here, not as key presses.
void SmsBodyPlainTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (event->commitString().isEmpty()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(fittingPrefix(smsText(event->commitString()), freeBytes()),
                             event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&filtered);
    event->setAccepted(filtered.isAccepted());
}

bool SmsBodyPlainTextEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasText() && !source->text().isEmpty();
}

// Paste and drop: the cursor already stands where the text goes.
void SmsBodyPlainTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText())
        return;
    const QString fitted = fittingPrefix(smsText(source->text()), freeBytes());
    if (fitted.isEmpty())
        return;
    QMimeData filtered;
    filtered.setText(fitted);
    QPlainTextEdit::insertFromMimeData(&filtered);
}

// Room left for an insertion at the cursor, which replaces the selection.
int SmsBodyPlainTextEdit::freeBytes() const
{
    QString selection = textCursor().selectedText();
    selection.replace(QChar::ParagraphSeparator, u'\n');
    return SmsWidth - int(fieldTextSize(toPlainText())) + int(fieldTextSize(selection));
}
