#include "widgets/namefielddelegate.h"

#include "configuration/fieldtext.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QToolTip>
#include <QValidator>

namespace {

// Refuses a change that makes the text longer than its bytes allow.
class FieldSizeValidator : public QValidator
{
public:
    FieldSizeValidator(int bytes, QObject *parent) : QValidator(parent), bytes(bytes) {}

    State validate(QString &input, int &) const override
    {
        return fieldTextSize(input) <= bytes ? Acceptable : Invalid;
    }

private:
    int bytes;
};

} // namespace

NameFieldDelegate::NameFieldDelegate(int characters, int bytes, const QString &toolTip,
                                     QObject *parent)
    : QStyledItemDelegate(parent), characters(characters), bytes(bytes), toolTip(toolTip)
{
}

QWidget *NameFieldDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *lineEdit = qobject_cast<QLineEdit *>(editor)) {
        lineEdit->setMaxLength(characters);
        if (bytes > 0)
            lineEdit->setValidator(new FieldSizeValidator(bytes, lineEdit));
        lineEdit->setToolTip(toolTip);
    }
    return editor;
}

bool NameFieldDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                  const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QToolTip::showText(event->globalPos(), toolTip, view);
    return true;
}
