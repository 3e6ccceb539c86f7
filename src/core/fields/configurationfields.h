#ifndef CONFIGURATIONFIELDS_H
#define CONFIGURATIONFIELDS_H

#include <QList>
#include <QString>

class Configuration;
struct UserNames;

// One field of a configuration in the form's words, for listings and
// comparisons that have no form to show it in.
struct ConfigurationField
{
    // Where the field is: the tab and group of the main window
    // ("Sterowanie → Wejście analogowe AI1"), or "Ustawienia → " and the tab
    // of the settings dialog.
    QString section;
    // The field's caption ("Zakres", "Akcja 3", "Telefon 2 (Dom)").
    QString label;
    // The value as the user sees it: action rows and times as in the action
    // tables, ranges with their decimals, check boxes as "tak" or "nie".
    QString value;
};

// A field whose value differs between two configurations.
struct ConfigurationDifference
{
    QString section;
    QString label;
    QString before;
    QString after;
};

// Every field of the configuration that the module keeps, in the order of
// the main window's tabs and then of the settings dialog's tabs. Captions
// follow the user's names, so both sides of a comparison must use the same.
// The SIM PIN and PUK are left out: a write never sends them, and the window
// shows them only after a password.
// Action slots are named by their place in the input's list, so adding or
// deleting one action never renumbers the others; a free slot is left out.
// A stored value that the form has no word for (an unknown action code, a
// threshold the table rounds, option bits the form does not use) is shown
// with its number, so that no two stored values look alike.
QList<ConfigurationField> configurationFields(const Configuration &configuration,
                                              const UserNames &names);

// Every field whose value differs, in the order of configurationFields().
// An empty value on one side may also be a field the listing leaves out
// there: a free action slot, or no option bits the form does not use.
QList<ConfigurationDifference> configurationDifferences(const Configuration &before,
                                                        const Configuration &after,
                                                        const UserNames &names);

#endif
