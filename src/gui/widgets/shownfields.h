#ifndef SHOWNFIELDS_H
#define SHOWNFIELDS_H

#include <QHash>
#include <QPair>
#include <QVariant>

class QTableWidgetItem;
class QWidget;

// What each field of a form showed when the form was filled. A form takes a
// value back only from a field the user has changed since, so a value that
// its field cannot show exactly (a number beyond a spin box, an item the
// list lacks, a name longer than the field takes) stays as it was until the
// user changes that very field. From then on the field gives what it shows,
// also once it shows the first value again.
class ShownFields
{
public:
    void clear();
    // Remembers what the field shows now: a widget's value (its user
    // property: a text, a number, a check, a combo box's current text), or
    // one role of a table cell.
    void remember(const QWidget *field);
    void remember(const QTableWidgetItem *cell, int role);
    // True when the field shows, or was seen to show, something else than
    // it was remembered with, or was never remembered.
    bool changed(const QWidget *field);
    bool changed(const QTableWidgetItem *cell, int role);

private:
    // What a field showed, until it is seen to show something else.
    template<typename Key>
    static bool changed(QHash<Key, QVariant> &shown, const Key &key, const QVariant &now);

    QHash<const QWidget *, QVariant> widgets;
    QHash<QPair<const QTableWidgetItem *, int>, QVariant> cells;
};

#endif
