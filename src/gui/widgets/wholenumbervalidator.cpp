#include "widgets/wholenumbervalidator.h"

WholeNumberValidator::WholeNumberValidator(QObject *parent)
    : QIntValidator(parent)
{
    setLocale(QLocale::c());
}

QValidator::State WholeNumberValidator::validate(QString &input, int &position) const
{
    input.replace(u',', u'.');
    const bool endsInSeparator = input.endsWith(u'.') && input.count(u'.') == 1;
    if (!endsInSeparator)
        return QIntValidator::validate(input, position);
    QString number = input.chopped(1);
    int numberPosition = int(number.size());
    return QIntValidator::validate(number, numberPosition) == Invalid ? Invalid : Intermediate;
}

void WholeNumberValidator::fixup(QString &input) const
{
    if (input.endsWith(u'.'))
        input.chop(1);
}

int WholeNumberValidator::value(const QString &text)
{
    return text.section(u'.', 0, 0).toInt();
}
