#ifndef NAMEFIELDDELEGATE_H
#define NAMEFIELDDELEGATE_H

#include <QStyledItemDelegate>

// Edits the cells of a name column whose names must fit a fixed field: no
// more characters, nor UTF-8 bytes, can be typed or pasted than the field
// holds, so nothing is cut afterwards. The cells' tool tip says so.
class NameFieldDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // bytes 0: no limit of bytes beyond the characters.
    NameFieldDelegate(int characters, int bytes, const QString &toolTip, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

private:
    int characters;
    int bytes;
    QString toolTip;
};

#endif
