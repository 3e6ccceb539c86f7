#ifndef CONFIGURATIONDOCUMENT_H
#define CONFIGURATIONDOCUMENT_H

#include "fields/configurationfields.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QString>

class Configuration;
struct UserNames;

// A configuration as a document to print or hand over: every field of
// configurationFields() in the form's words, the main window's tabs and the
// settings dialog as headings and each group of fields as a table, under a
// heading that names where the configuration came from, when the document
// was made and by which program. Like the listing, it never holds the SIM
// PIN and PUK.
class ConfigurationDocument
{
    Q_DECLARE_TR_FUNCTIONS(ConfigurationDocument)

public:
    // Where a configuration came from, as the heading names it.
    static QString fileSource(const QString &path);
    static QString moduleSource(const QString &port);
    static QString newConfigurationSource();
    // A source whose configuration has been edited since it came.
    static QString withUnsavedChanges(const QString &source);

    // The program's name, without its version, which the document adds.
    ConfigurationDocument(const Configuration &configuration, const UserNames &names, const QString &source,
                          const QString &program, const QDateTime &made);

    QString title() const;
    // The program's name and version.
    QString program() const;
    // The whole document as XHTML: well-formed XML that a browser shows as
    // HTML, within the HTML and CSS that QTextDocument lays out.
    QString html() const;
    // The lines above and below every printed page's part of the document.
    QString pageHeader() const;
    QString pageFooter() const;
    QString pageNumber(int page, int pageCount) const;

private:
    QString madeText() const;

    QList<ConfigurationField> fields;
    QString sourceText;
    QString programText;
    QDateTime madeTime;
};

#endif
