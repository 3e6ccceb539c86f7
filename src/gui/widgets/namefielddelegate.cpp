#include "widgets/namefielddelegate.h"

#include "configuration/fieldtext.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QStatusTipEvent>
#include <QToolTip>
#include <QValidator>

namespace {

// Set on an editor whose limit the status bar tells.
const char LimitShown[] = "limitShown";

// Refuses a change that makes the text longer than the field allows, and
// has the status bar say why. A name that was longer already may be
// shortened (the editor takes it once it fits), but not lengthened.
class FieldSizeValidator : public QValidator
{
public:
    FieldSizeValidator(int characters, int bytes, const QString &name, const QString &limitText,
                       QLineEdit *editor)
        : QValidator(editor),
          characters(qMax(qsizetype(characters), name.size())),
          bytes(qMax(qsizetype(bytes), fieldTextSize(name))),
          fittingCharacters(characters),
          fittingBytes(bytes),
          limitText(limitText),
          editor(editor)
    {
    }

    State validate(QString &input, int &) const override
    {
        const qsizetype size = fieldTextSize(input);
        if (input.size() <= fittingCharacters && size <= fittingBytes)
            return Acceptable;
        QStatusTipEvent tip(limitText);
        QCoreApplication::sendEvent(editor, &tip);
        editor->setProperty(LimitShown, true);
        return input.size() <= characters && size <= bytes ? Intermediate : Invalid;
    }

private:
    qsizetype characters;
    qsizetype bytes;
    qsizetype fittingCharacters;
    qsizetype fittingBytes;
    QString limitText;
    QLineEdit *editor;
};

} // namespace

NameFieldDelegate::NameFieldDelegate(int characters, int bytes, const QString &limitText,
                                     QObject *parent)
    : QStyledItemDelegate(parent), characters(characters), bytes(bytes), limitText(limitText)
{
}

QWidget *NameFieldDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *lineEdit = qobject_cast<QLineEdit *>(editor)) {
        lineEdit->setValidator(new FieldSizeValidator(characters, bytes, index.data(Qt::EditRole).toString(),
                                                      limitText, lineEdit));
        lineEdit->setToolTip(limitText);
    }
    return editor;
}

// The status bar's word on the limit goes with the editor.
void NameFieldDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    if (editor->property(LimitShown).toBool()) {
        QStatusTipEvent tip{ QString() };
        QCoreApplication::sendEvent(editor, &tip);
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}

// A cell that says something of its own (a name longer than the field)
// shows that; the others show the limit.
bool NameFieldDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                  const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString own = index.data(Qt::ToolTipRole).toString();
    QToolTip::showText(event->globalPos(), own.isEmpty() ? limitText : own, view);
    return true;
}
