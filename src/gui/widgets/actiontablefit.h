#ifndef ACTIONTABLEFIT_H
#define ACTIONTABLEFIT_H

#include <QList>
#include <QObject>

class QTableWidget;

// An action table that fits the place it is given. It is never lower than
// its header and its rows, up to five (the tab scrolls instead), and grows
// with the window beyond that. Its columns share its width without a
// scroll bar: where the texts do not fit whole, the number and the check
// box keep theirs and the widest of the others narrow first; a text cut
// short ends in "…" and shows whole in its tool tip.
class ActionTableFit : public QObject
{
    Q_OBJECT

public:
    // Owned by the table.
    explicit ActionTableFit(QTableWidget *table);

    // After the table was filled and its columns sized to their contents.
    void refit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitColumns();
    void fitHeight();
    int textMargins() const;

    QTableWidget *table;
    // The columns' widths for their whole texts, as the table was filled.
    QList<int> wholeWidths;
};

#endif
