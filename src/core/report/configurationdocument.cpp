#include "report/configurationdocument.h"

#include "configuration/configuration.h"
#include "fields/visibletext.h"
#include "settings/usernames.h"

namespace {

// configurationFields() names a section by its tab (or the settings dialog)
// and its group, joined by this.
const QString SectionSeparator = QStringLiteral(" → ");

// The part of a field's table that names the field; the value takes the rest.
const QString LabelWidth = QStringLiteral("38%");

// QTextDocument honours the table attributes; the style sheet gives a
// browser the same look.
const QString StyleSheet = QStringLiteral(
        "body { font-family: 'DejaVu Sans', sans-serif; font-size: 9pt; }\n"
        "h1 { font-size: 15pt; margin-bottom: 4pt; }\n"
        "h2 { font-size: 12pt; margin-top: 16pt; margin-bottom: 4pt; }\n"
        "table { border-collapse: collapse; margin-bottom: 6pt; }\n"
        "th, td { text-align: left; vertical-align: top; }\n"
        "table.fields th, table.fields td { border: 1px solid #999999; }\n"
        "table.fields th { background-color: #e4e4e4; }\n"
        "p.note { font-size: 8pt; }\n");

QString xmlText(QStringView text)
{
    return visibleCharacters(text).toHtmlEscaped();
}

QString xmlValue(const QString &value)
{
    QStringList lines = visibleValueLines(value);
    for (QString &line : lines)
        line = line.toHtmlEscaped();
    return lines.join(QStringLiteral("<br/>"));
}

QString row(const QString &label, const QString &value)
{
    return QStringLiteral("<tr><td width=\"%1\">%2</td><td>%3</td></tr>\n")
            .arg(LabelWidth, xmlText(label), xmlValue(value));
}

QString fieldsTableStart(const QString &group)
{
    QString start = QStringLiteral("<table class=\"fields\" width=\"100%\" border=\"1\" cellspacing=\"0\" "
                                   "cellpadding=\"3\">\n");
    // The group's name heads the table, and QTextDocument repeats a table's
    // head on every page the table runs on to.
    if (!group.isEmpty())
        start += QStringLiteral("<thead><tr><th colspan=\"2\">%1</th></tr></thead>\n").arg(xmlText(group));
    return start + QStringLiteral("<tbody>\n");
}

const QString FieldsTableEnd = QStringLiteral("</tbody></table>\n");

} // namespace

QString ConfigurationDocument::fileSource(const QString &path)
{
    return tr("plik %1").arg(path);
}

QString ConfigurationDocument::moduleSource(const QString &port)
{
    return tr("modem na porcie %1").arg(port);
}

QString ConfigurationDocument::newConfigurationSource()
{
    return tr("nowa konfiguracja");
}

QString ConfigurationDocument::withUnsavedChanges(const QString &source)
{
    return tr("%1, ze zmianami, których nie zapisano").arg(source);
}

ConfigurationDocument::ConfigurationDocument(const Configuration &configuration, const UserNames &names,
                                             const QString &source, const QString &program,
                                             const QDateTime &made)
    : fields(configurationFields(configuration, names)),
      sourceText(source),
      programText(QStringLiteral("%1 %2").arg(program, QStringLiteral(TELVORO_VERSION))),
      madeTime(made)
{
}

QString ConfigurationDocument::title() const
{
    return tr("Konfiguracja modemu TX48");
}

QString ConfigurationDocument::program() const
{
    return programText;
}

QString ConfigurationDocument::html() const
{
    QString html = QStringLiteral("<!DOCTYPE html>\n"
                                  "<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"pl\" xml:lang=\"pl\">\n"
                                  "<head>\n<meta charset=\"utf-8\"/>\n<title>%1</title>\n"
                                  "<style type=\"text/css\">\n%2</style>\n</head>\n<body>\n")
                           .arg(xmlText(pageHeader()), StyleSheet);
    html += QStringLiteral("<h1>%1</h1>\n").arg(xmlText(title()));
    html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">\n");
    html += row(tr("Źródło"), sourceText);
    html += row(tr("Data"), madeText());
    html += row(tr("Program"), programText);
    html += QStringLiteral("</table>\n<p class=\"note\">%1</p>\n")
                    .arg(xmlText(tr("Kodów PIN i PUK karty SIM dokument nie zawiera.")));

    QString currentTab;
    QString currentSection;
    for (const ConfigurationField &field : fields) {
        if (field.section != currentSection) {
            if (!currentSection.isEmpty())
                html += FieldsTableEnd;
            const qsizetype separator = field.section.indexOf(SectionSeparator);
            const QString tab = separator < 0 ? field.section : field.section.left(separator);
            if (tab != currentTab)
                html += QStringLiteral("<h2>%1</h2>\n").arg(xmlText(tab));
            html += fieldsTableStart(separator < 0 ? QString()
                                                   : field.section.mid(separator + SectionSeparator.size()));
            currentTab = tab;
            currentSection = field.section;
        }
        html += row(field.label, field.value);
    }
    if (!currentSection.isEmpty())
        html += FieldsTableEnd;
    return html + QStringLiteral("</body>\n</html>\n");
}

QString ConfigurationDocument::pageHeader() const
{
    return QStringLiteral("%1 – %2").arg(title(), sourceText);
}

QString ConfigurationDocument::pageFooter() const
{
    return QStringLiteral("%1 · %2").arg(programText, madeText());
}

QString ConfigurationDocument::pageNumber(int page, int pageCount) const
{
    return tr("Strona %1 z %2").arg(page).arg(pageCount);
}

QString ConfigurationDocument::madeText() const
{
    return madeTime.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}
