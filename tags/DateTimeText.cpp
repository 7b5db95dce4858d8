#include "DateTimeText.h"

#include <QLocale>

namespace vela {

QDateTime systemNow() { return QDateTime::currentDateTime(); }

std::string dateTimeText(const QDateTime& when) {
    // The interface is Japanese throughout, so the names never follow the system locale.
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    const QDate date = when.date();
    const QTime time = when.time();
    const int year = ((date.year() % 100) + 100) % 100; // years before 1 AD stay two digits
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    const QString text = QStringLiteral("%1年%2月%3(%4) %5%6時%7分%8秒")
                             .arg(year, 2, 10, QLatin1Char('0'))
                             .arg(date.month(), 2, 10, QLatin1Char('0'))
                             .arg(date.day(), 2, 10, QLatin1Char('0'))
                             .arg(japanese.dayName(date.dayOfWeek(), QLocale::ShortFormat),
                                  time.hour() < 12 ? japanese.amText() : japanese.pmText())
                             .arg(hour)
                             .arg(time.minute())
                             .arg(time.second());
    return text.toStdString();
}

} // namespace vela
