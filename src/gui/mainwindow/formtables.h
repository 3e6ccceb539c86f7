#ifndef FORMTABLES_H
#define FORMTABLES_H

#include <Qt>

// The columns and item roles of the main window's tables.
namespace FormTables {

// The name column of the phones, inputs and outputs tables.
constexpr int NameColumn = 2;
// The number column of the phones table.
constexpr int PhoneNumberColumn = 1;
// The status list's name column; its items also keep the status's SMS text.
constexpr int StatusNameColumn = 1;
constexpr int SmsTextRole = Qt::UserRole + 1;
// An action table's number item keeps the index of the slot its row shows.
constexpr int SlotIndexRole = Qt::UserRole + 1;
// A combo box item added for a value that its list does not offer.
constexpr int UnlistedValueRole = Qt::UserRole + 1;

} // namespace FormTables

#endif
