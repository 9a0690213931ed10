#pragma once
#include <QString>

// Who made the program, as every printed report's page footer says it.
namespace ReportVendor {

inline const QString Name = QStringLiteral("Kavo Software");
inline const QString Product = QStringLiteral("Kavo Pursekeep V3");
inline const QString Web = QStringLiteral("www.kavopursekeep.example");

} // namespace ReportVendor
