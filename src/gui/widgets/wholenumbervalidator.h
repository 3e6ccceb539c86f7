#ifndef WHOLENUMBERVALIDATOR_H
#define WHOLENUMBERVALIDATOR_H

#include <QIntValidator>

// A whole number. A decimal separator (point or comma) typed after it shows
// as a point, but no digit may follow: "7,5" stops at "7." instead of
// becoming 75. The separator is dropped when the field is left.
class WholeNumberValidator : public QIntValidator
{
    Q_OBJECT

public:
    explicit WholeNumberValidator(QObject *parent = nullptr);

    State validate(QString &input, int &position) const override;
    void fixup(QString &input) const override;

    // The number a field's text stands for; empty or invalid text gives 0.
    static int value(const QString &text);
};

#endif
