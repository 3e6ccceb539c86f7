#include "widgets/foldingnotes.h"

#include <QLabel>
#include <QSettings>

namespace {
const QString UnfoldLink = QStringLiteral("unfold");
const QString FoldLink = QStringLiteral("fold");
}

FoldingNotes::FoldingNotes(QWidget *bar, QLabel *label, const QString &settingsKey)
    : bar(bar), label(label), settingsKey(settingsKey)
{
    label->setOpenExternalLinks(false);
    connect(label, &QLabel::linkActivated, this, [this](const QString &link) { setUnfolded(link == UnfoldLink); });
}

void FoldingNotes::show(const QString &heading, const QString &folded, const QStringList &notes)
{
    this->heading = heading;
    this->folded = folded;
    this->notes = notes;
    redraw();
}

void FoldingNotes::setUnfolded(bool unfolded)
{
    QSettings().setValue(settingsKey, unfolded);
    redraw();
}

void FoldingNotes::redraw()
{
    const bool foldable = notes.size() > 1;
    const bool unfolded = !foldable || QSettings().value(settingsKey, false).toBool();
    const QString link = QStringLiteral(" <a href=\"%1\">%2</a>");
    QString text;
    if (unfolded) {
        QStringList lines;
        for (const QString &note : std::as_const(notes))
            lines.append(QStringLiteral("• ") + note.toHtmlEscaped());
        text = QStringLiteral("<b>%1</b>%2<br>%3")
                       .arg(heading.toHtmlEscaped(), foldable ? link.arg(FoldLink, tr("Ukryj")) : QString(),
                            lines.join(QStringLiteral("<br>")));
    } else {
        text = QStringLiteral("<b>%1</b>%2").arg(folded.toHtmlEscaped(), link.arg(UnfoldLink, tr("Pokaż")));
    }
    label->setText(text);
    bar->setVisible(!notes.isEmpty());
}
