#include "configurationreport.h"

#include "fields/visibletext.h"

namespace {

// Lines of sections and their fields; a section's title comes again only
// when the section changes.
class SectionedText
{
public:
    void add(const QString &section, const QString &line)
    {
        if (section != currentSection || text.isEmpty()) {
            if (!text.isEmpty())
                text += QLatin1Char('\n');
            text += section + QLatin1Char('\n');
            currentSection = section;
        }
        text += QStringLiteral("  ") + line + QLatin1Char('\n');
    }

    QString text;

private:
    QString currentSection;
};

} // namespace

QString ConfigurationReport::listing(const QList<ConfigurationField> &fields)
{
    SectionedText text;
    for (const ConfigurationField &field : fields)
        text.add(field.section, QStringLiteral("%1: %2").arg(field.label, visibleValue(field.value)));
    return text.text;
}

QString ConfigurationReport::differences(const QList<ConfigurationDifference> &differences)
{
    SectionedText text;
    for (const ConfigurationDifference &difference : differences)
        text.add(difference.section, QStringLiteral("%1: %2 → %3")
                         .arg(difference.label, visibleValue(difference.before), visibleValue(difference.after)));
    return text.text;
}
