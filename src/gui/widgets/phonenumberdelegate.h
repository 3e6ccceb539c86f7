#ifndef PHONENUMBERDELEGATE_H
#define PHONENUMBERDELEGATE_H

#include <QStyledItemDelegate>

// Edits a cell of a phone number list: the empty editor says that nine
// digits are wanted, and a number that is not (yet) nine digits shows in red
// while it is typed. Nothing typed is refused: a number pasted with its
// country code stays visible to be mended, instead of being cut silently.
class PhoneNumberDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit PhoneNumberDelegate(QObject *parent = nullptr);

    // What the list takes: no number, or exactly nine digits.
    static bool isAcceptable(const QString &number);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;

signals:
    // The editor's text changed; acceptable as isAcceptable() says.
    void numberTyped(bool acceptable) const;
};

#endif
