#ifndef FOLDINGNOTES_H
#define FOLDINGNOTES_H

#include <QObject>
#include <QString>
#include <QStringList>

class QLabel;
class QWidget;

// A bar of notes above the tabs that folds to one line. One note shows
// whole; more show as one line with their count and "Pokaż", and unfold
// on request ("Ukryj" folds them again). The choice is kept in the settings
// under `settingsKey`, for this bar in every window from then on.
class FoldingNotes : public QObject
{
    Q_OBJECT

public:
    // The bar and its label outlive this.
    FoldingNotes(QWidget *bar, QLabel *label, const QString &settingsKey);

    // `heading` names what the notes are, for any count; `folded` says it
    // with the count, in one line. No notes hide the bar.
    void show(const QString &heading, const QString &folded, const QStringList &notes);

private:
    void setUnfolded(bool unfolded);
    void redraw();

    QWidget *bar;
    QLabel *label;
    QString settingsKey;
    QString heading;
    QString folded;
    QStringList notes;
};

#endif
