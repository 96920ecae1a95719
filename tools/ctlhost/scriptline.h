#pragma once

#include "platform/core/variant.h"

#include <QString>
#include <QStringList>

// One line of a ctlhost script, split into words. A word in double quotes
// may hold blanks and C escapes (\" \\ \n \t \r \xHH); outside quotes words
// are separated by blanks. Raises std::invalid_argument with a reason.
QStringList splitScriptLine(const QString &line);

// A value as a script writes it: a double-quoted string, true or false, an
// integer (Long), i2:N (Integer) or r8:X (Double). Quoted words reach this
// function with their quotes. Raises std::invalid_argument.
platform::Variant parseScriptValue(const QString &word);

// A DISPID in hexadecimal (0x68030005, its 32-bit pattern) or decimal
// (a signed 32-bit number), either with a leading minus. Raises
// std::invalid_argument for anything that doesn't fit in 32 bits.
int parseDispid(const QString &word);

// A text in double quotes with the escapes splitScriptLine undoes.
QString quoted(const QString &text);
// A value as ctlhost prints it: strings quoted, Booleans true/false,
// numbers in decimal.
QString formatValue(const platform::Variant &value);
// A DISPID as ctlhost prints it: 0x and eight hexadecimal digits (a
// negative one in decimal).
QString formatDispid(int dispid);
