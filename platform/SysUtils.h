// Text helpers with the platform's conversion rules.
#pragma once
#include <QString>

// Strict decimal conversion: optional sign, digits only; anything else raises EConvertError
// with "'<text>' is not a valid integer value".
int StrToInt(const QString& text);
// Removes leading and trailing characters whose code is 32 or less.
QString Trim(const QString& text);
QString TrimLeft(const QString& text);
QString TrimRight(const QString& text);
