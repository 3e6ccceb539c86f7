#ifndef NAMEFIELDDELEGATE_H
#define NAMEFIELDDELEGATE_H

#include <QStyledItemDelegate>

// Edits the cells of a name column whose names must fit a fixed field: no
// more characters, nor UTF-8 bytes, can be typed or pasted than the field
// holds, so nothing is cut afterwards. Where typing stops, the status bar
// says why; the cells' tool tip says so too. A longer name that came from
// elsewhere is shown whole and may be shortened; only a name that fits is
// taken.
class NameFieldDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    NameFieldDelegate(int characters, int bytes, const QString &limitText, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

private:
    int characters;
    int bytes;
    QString limitText;
};

#endif
