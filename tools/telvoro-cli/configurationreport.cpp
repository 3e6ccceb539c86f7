#include "configurationreport.h"

namespace {

const QString EmptyValue = QStringLiteral("—");

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

QString ConfigurationReport::shownValue(const QString &value)
{
    if (value.isEmpty())
        return EmptyValue;
    QString shown;
    shown.reserve(value.size());
    for (const QChar character : value) {
        if (character == QLatin1Char('\\'))
            shown += QStringLiteral("\\\\");
        else if (character == QLatin1Char('\n'))
            shown += QStringLiteral("\\n");
        else if (character == QLatin1Char('\r'))
            shown += QStringLiteral("\\r");
        else if (character == QLatin1Char('\t'))
            shown += QStringLiteral("\\t");
        else if (character.unicode() < 0x20 || character.unicode() == 0x7F)
            shown += QStringLiteral("\\x%1").arg(character.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += character;
    }
    return shown;
}

QString ConfigurationReport::listing(const QList<ConfigurationField> &fields)
{
    SectionedText text;
    for (const ConfigurationField &field : fields)
        text.add(field.section, QStringLiteral("%1: %2").arg(field.label, shownValue(field.value)));
    return text.text;
}

QString ConfigurationReport::differences(const QList<ConfigurationDifference> &differences)
{
    SectionedText text;
    for (const ConfigurationDifference &difference : differences)
        text.add(difference.section, QStringLiteral("%1: %2 → %3")
                         .arg(difference.label, shownValue(difference.before), shownValue(difference.after)));
    return text.text;
}
