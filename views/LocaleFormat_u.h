#pragma once
// The display format of report cells taken from a Qt locale (the UI passes QLocale::system()).
#include <QLocale>

#include "core/DisplayFormat.h"

namespace brindle {

// Short date, long time (seconds included, time zone dropped), AM/PM texts and decimal
// separator of the locale. Years always have four digits.
DisplayFormat DisplayFormatFromLocale(const QLocale& locale);

}  // namespace brindle
