#include "widgets/phonenumberdelegate.h"

#include "configuration/configuration.h"

#include <QLineEdit>
#include <algorithm>

namespace {
const QColor WrongNumberColour(220, 0, 0);
}

PhoneNumberDelegate::PhoneNumberDelegate(QObject *parent) : QStyledItemDelegate(parent)
{
}

bool PhoneNumberDelegate::isAcceptable(const QString &number)
{
    if (number.isEmpty())
        return true;
    if (number.length() != PhoneWidth)
        return false;
    return std::all_of(number.cbegin(), number.cend(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

QWidget *PhoneNumberDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                           const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    auto *lineEdit = qobject_cast<QLineEdit *>(editor);
    if (!lineEdit)
        return editor;
    lineEdit->setPlaceholderText(tr("9 cyfr"));
    connect(lineEdit, &QLineEdit::textChanged, this, [this, lineEdit](const QString &text) {
        const bool acceptable = isAcceptable(text);
        QPalette palette;
        if (!acceptable)
            palette.setColor(QPalette::Text, WrongNumberColour);
        lineEdit->setPalette(palette);
        emit numberTyped(acceptable);
    });
    return editor;
}
