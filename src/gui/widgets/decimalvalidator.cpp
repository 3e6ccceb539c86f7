#include "widgets/decimalvalidator.h"

DecimalValidator::DecimalValidator(QObject *parent)
    : QDoubleValidator(parent)
{
    // In the C locale the point is the only decimal separator, and no comma
    // reaches the base class, where it would count as a group separator.
    setLocale(QLocale::c());
}

QValidator::State DecimalValidator::validate(QString &input, int &position) const
{
    input.replace(u',', u'.');
    return QDoubleValidator::validate(input, position);
}
