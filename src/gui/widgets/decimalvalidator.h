#ifndef DECIMALVALIDATOR_H
#define DECIMALVALIDATOR_H

#include <QDoubleValidator>

// A decimal number written with a point, as the module's values are shown,
// that also takes the comma Polish users type as the decimal separator:
// "7,5" typed, pasted or dropped becomes "7.5", never 75.
class DecimalValidator : public QDoubleValidator
{
    Q_OBJECT

public:
    explicit DecimalValidator(QObject *parent = nullptr);

    State validate(QString &input, int &position) const override;
};

#endif
