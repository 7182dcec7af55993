#pragma once
// Numbers as the batch commands print them: C locale, at most four decimals,
// no trailing zeros, never "-0".

#include <QString>

QString FormatNumber(double value);
