#pragma once
// The text the date-and-time command types, and the clock it reads "now" from.

#include <QDateTime>

#include <functional>
#include <string>

namespace vela {

/// Where the date-and-time command takes the current time from.
using Clock = std::function<QDateTime()>;

/// The local time of the system clock.
QDateTime systemNow();

/// `when` as "97年12月07(日) 午後9時5分3秒" (UTF-8): two-digit year, month and
/// day, the short weekday and the morning or afternoon name of the Japanese
/// locale whatever the system locale, then the 12-hour hour (0 shows as 12),
/// minute and second without leading zeros.
std::string dateTimeText(const QDateTime& when);

} // namespace vela
