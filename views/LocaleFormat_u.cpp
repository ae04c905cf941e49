#include "views/LocaleFormat_u.h"

#include "core/CommonUtils_u.h"

namespace brindle {

namespace {

std::string Utf8(const QString& text) { return text.toStdString(); }

}  // namespace

DisplayFormat DisplayFormatFromLocale(const QLocale& locale) {
    DisplayFormat format;
    const std::string decimal = Utf8(QString(locale.decimalPoint()));
    if (!decimal.empty()) format.DecimalSeparator = decimal;
    const std::string date = QtPatternToDisplayPattern(Utf8(locale.dateFormat(QLocale::ShortFormat)));
    if (!date.empty()) format.ShortDateFormat = date;
    // The long time format keeps the seconds that report times show.
    const std::string time = QtPatternToDisplayPattern(Utf8(locale.timeFormat(QLocale::LongFormat)));
    if (!time.empty()) format.TimeFormat = time;
    const std::string am = Utf8(locale.amText());
    const std::string pm = Utf8(locale.pmText());
    if (!am.empty()) format.TimeAMString = am;
    if (!pm.empty()) format.TimePMString = pm;
    return format;
}

}  // namespace brindle
